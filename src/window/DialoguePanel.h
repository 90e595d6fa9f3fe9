#pragma once
// The Dialogue Breakdown panel's controls: the typed dialogue, the language
// (and which way it is aligned), the mouth set, the mouth rules, and the
// Align buttons. It holds no logic: DialogueActions reads and answers it.
// The choices are remembered across runs.
#include <QWidget>

#include "dialogue/MouthTrack.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace zv {

class DialoguePanel : public QWidget {
    Q_OBJECT
public:
    explicit DialoguePanel(QWidget* parent = nullptr);

    // The language chosen: its code ("en", "de"), or what was typed. The
    // list to choose from is filled when the panel first shows (then
    // LanguageChanged is sent once).
    std::string Language() const;
    void SetLanguage(const std::string& code);
    // The mouth rules as set.
    MouthRules Rules() const;
    // Writes the choices to the settings.
    void Remember() const;

    QPlainTextEdit* text = nullptr;
    QComboBox* language = nullptr;     // editable: a code not listed can be typed
    QLabel* way = nullptr;             // which way the language is aligned
    QComboBox* mouthSet = nullptr;     // filled by DialogueActions
    QSpinBox* holdFast = nullptr;      // frames, at 24 fps and above
    QSpinBox* holdSlow = nullptr;      // frames, below
    QCheckBox* keepClosures = nullptr;
    QSpinBox* restAfterMs = nullptr;
    QSpinBox* leadFrames = nullptr;
    QPushButton* align = nullptr;
    QPushButton* alignSelected = nullptr;
    QPushButton* alignLine = nullptr;  // the line under the text cursor, alone in the selection
    QLabel* status = nullptr;

signals:
    // A choice that changes the mouth shapes changed.
    void MouthsChanged();
    void LanguageChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillLanguages();
    bool languagesListed_ = false;
};

} // namespace zv
