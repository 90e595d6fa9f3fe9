// The font configuration loaded on a thread before the window is made: the
// toolkit then finds it and its fonts, and waiting is safe in any order.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFont>
#include <QStringList>

#include "window/FontWarmUp.h"

using namespace zv;

TEST(FontWarmUp, LeavesTheConfigurationAndItsFontsLoadedForTheToolkit) {
    FontWarmUp fonts;
    fonts.Wait();
    FcConfig* config = FcConfigGetCurrent();
    ASSERT_NE(config, nullptr);
    const FcFontSet* system = FcConfigGetFonts(config, FcSetSystem);
    ASSERT_NE(system, nullptr);
    EXPECT_GT(system->nfont, 0);   // the font caches were read, not only the XML
    // The toolkit lists and measures with that configuration.
    EXPECT_FALSE(QFontDatabase::families().isEmpty());
    EXPECT_GT(QFontMetrics(QFont()).horizontalAdvance(QStringLiteral("Zorvane")), 0);
}

TEST(FontWarmUp, WaitingTwiceOrNotAtAllNeitherHangsNorFails) {
    {
        FontWarmUp fonts;
        fonts.Wait();
        fonts.Wait();
    }
    {
        FontWarmUp fonts;   // ended by its destructor, which waits
    }
    SUCCEED();
}
