#pragma once
// The exposure sheet as an XDTS file (the digital time sheet that drawing
// and animation programs exchange): a first line
// "exchangeDigitalTimeSheet Save Data", then the JSON, version 5:
//   header      cut and scene (1 to 4 digits each)
//   timeTables  one table: name (the sound's file name without extension),
//               duration (animation frames), timeTableHeaders (each
//               field's track names) and fields:
//     CELL (0)    a track per speaker: the mouth drawing on each frame as
//                 its number in the speaker's shape order (1 = the first
//                 shape; NumberedShapes), written on frame 0 and then only
//                 where it changes, and SYMBOL_NULL_CELL on the frame after
//                 the last.
//     DIALOG (3)  a track per speaker: each line of words as one entry on
//                 the frame its first word starts on, SYMBOL_NULL_CELL on
//                 the frame after its last word ends (a pause after which
//                 the mouths rest, 0.25 s, starts a new line).
// Frames count from 0. XDTS keeps no frame rate: the receiving program must
// be set to the sheet's rate, which the mapping file beside the sheet says.
#include <optional>
#include <string>

#include "sheets/SheetContent.h"

namespace zv {

struct XdtsOptions {
    std::string cut = "1";     // 1 to 4 digits
    std::string scene = "1";   // 1 to 4 digits
};

// Why a cut or scene number cannot go into the sheet ("The cut must be ..."),
// or nothing when both can.
std::optional<std::string> XdtsOptionsError(const XdtsOptions& options);

// The whole file. content.FrameCount() > 0 and valid options are the
// caller's to check (an empty sheet has a duration of 1).
std::string XdtsText(const SheetContent& content, const XdtsOptions& options);

// The mapping file beside the sheet: which drawing number is which mouth
// shape for each speaker, and the frame rate the sheet was made at.
std::string XdtsMappingText(const SheetContent& content, const std::string& sheetFileName);
// "shot.xdts" -> "shot.mouths.txt" (beside it).
std::string XdtsMappingPath(const std::string& sheetPath);

// What to tell the user about the rate: nothing at 24 frames a second, else
// that the receiving program must be set to this rate.
std::optional<std::string> XdtsRateNote(FrameRate rate);

// A rate for people: "24", "12.5", "29.97", "23.976".
std::string RateText(FrameRate rate);

} // namespace zv
