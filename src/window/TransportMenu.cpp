#include "window/TransportMenu.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSettings>

#include "common/ui/LogCategories.h"
#include "playback/ui/MediaControl.h"
#include "session/Session.h"
#include "window/FormControls.h"
#include "window/WaveKeys.h"
#include "window/WaveformInteraction.h"

namespace zv {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

// Whatever an entry's handler raises ends there, never the program, and is logged.
template <typename F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        LogCurrentError(LogWindow(), "A transport entry stopped");
    }
}

} // namespace

TransportMenu::TransportMenu(FormControls& controls, Session& session, WaveformInteraction& waveform, QObject* parent)
    : QObject(parent), controls_(controls), session_(session), waveform_(waveform) {
    FormControls& c = controls_;
    const auto add = [this, &c](QAction*& action, const char* name, const char* caption, auto handler) {
        action = c.MnuTransport->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, [handler] { Guarded(handler); });
    };
    const auto click = [&c](const char* button) {
        return [&c, button] {
            if (QAbstractButton* b = c.MMControl1->Button(QString::fromLatin1(button))) b->click();
        };
    };
    add(c.MnuPlayPause, "MnuPlayPause", "Play/Pause\tSpace", [this] { waveform_.PlayOrPause(); });
    add(c.MnuLoopSelection, "MnuLoopSelection", "Loop Selection\tL",
        [this] { session_.SetLoop(controls_.MnuLoopSelection->isChecked()); });
    c.MnuLoopSelection->setCheckable(true);
    c.MnuTransport->addSeparator();
    auto* speeds = new QActionGroup(c.MnuTransport);
    add(c.MnuNormalSpeed, "MnuNormalSpeed", "Normal Speed", [this] { SetSpeed(1.0); });
    add(c.MnuHalfSpeed, "MnuHalfSpeed", "Half Speed", [this] { SetSpeed(0.5); });
    add(c.MnuQuarterSpeed, "MnuQuarterSpeed", "Quarter Speed", [this] { SetSpeed(0.25); });
    for (QAction* a : {c.MnuNormalSpeed, c.MnuHalfSpeed, c.MnuQuarterSpeed}) {
        a->setCheckable(true);
        speeds->addAction(a);
    }
    add(c.MnuPlaySlowly, "MnuPlaySlowly", "Play Slowly\tShift+Space", [this] {
        const bool playing = controls_.MMControl1->Mode() == MediaControl::ModePlay;
        if (!playing) SetSpeed(Settings().value(QStringLiteral("transport/slowSpeed"), 0.5).toDouble());
        waveform_.PlayOrPause();
    });
    c.MnuTransport->addSeparator();
    add(c.MnuStep, "MnuStep", "Step\tRight", click("Step"));
    add(c.MnuBack, "MnuBack", "Back\tLeft", click("Back"));

    // L and Shift+Space are single keys of the window, as Space is.
    waveform_.Keys().Add(Qt::Key_L, [&c] { c.MnuLoopSelection->trigger(); });
    waveform_.Keys().Add(Qt::Key_Space, [&c] { c.MnuPlaySlowly->trigger(); }, true);
    // The remembered speed, read and not written back: writing the settings
    // (a lock file and a rewrite) would cost every start-up time for nothing.
    ApplySpeed(Settings().value(QStringLiteral("transport/speed"), 1.0).toDouble());
}

double TransportMenu::ApplySpeed(double speed) {
    if (speed != 0.5 && speed != 0.25) speed = 1.0;
    session_.SetSpeed(speed);
    FormControls& c = controls_;
    (speed == 0.5 ? c.MnuHalfSpeed : speed == 0.25 ? c.MnuQuarterSpeed : c.MnuNormalSpeed)->setChecked(true);
    return speed;
}

void TransportMenu::SetSpeed(double speed) {
    speed = ApplySpeed(speed);
    QSettings settings = Settings();
    settings.setValue(QStringLiteral("transport/speed"), speed);
    if (speed < 1.0) settings.setValue(QStringLiteral("transport/slowSpeed"), speed);
}

} // namespace zv
