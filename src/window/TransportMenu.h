#pragma once
// The Transport menu's entries and their single keys: Play/Pause (Space),
// Loop Selection (L), Normal, Half and Quarter Speed (the speed chosen is
// remembered), Play Slowly (Shift+Space: at the last slow speed), Step
// (Right) and Back (Left). The speed and the loop are the session's.
#include <QObject>

namespace zv {

class FormControls;
class Session;
class WaveformInteraction;

class TransportMenu : public QObject {
public:
    // Fills `controls`' Transport menu and adds the keys to the waveform's
    // key table; every one of them outlives this object.
    TransportMenu(FormControls& controls, Session& session, WaveformInteraction& waveform, QObject* parent);

    // Sets the speed (1, 0.5, 0.25; anything else is 1) of every play from
    // now on, remembered.
    void SetSpeed(double speed);

private:
    // Sets the speed and checks its menu entry; returns the speed set.
    double ApplySpeed(double speed);

    FormControls& controls_;
    Session& session_;
    WaveformInteraction& waveform_;
};

} // namespace zv
