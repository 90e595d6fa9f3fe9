#include "window/DialoguePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogue/EspeakVoice.h"

namespace zv {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

QSpinBox* Spin(QWidget* parent, int low, int high, int value, int step = 1) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setValue(value);
    return spin;
}

} // namespace

DialoguePanel::DialoguePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DialoguePanel"));
    const QSettings settings = Settings();
    const MouthRules rules;

    text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("DialogueText"));
    text->setPlaceholderText(QStringLiteral("Type or paste the dialogue here, one or more lines"));
    text->setPlainText(settings.value(QStringLiteral("dialogue/text")).toString());

    language = new QComboBox(this);
    language->setObjectName(QStringLiteral("DialogueLanguage"));
    language->setEditable(true);
    language->setInsertPolicy(QComboBox::NoInsert);
    // The list of languages comes when the panel first shows (FillLanguages).
    // American English by default: the speech model's own.
    SetLanguage(settings.value(QStringLiteral("dialogue/language"), QStringLiteral("en-us")).toString().toStdString());
    way = new QLabel(this);
    way->setObjectName(QStringLiteral("DialogueWay"));
    way->setWordWrap(true);

    mouthSet = new QComboBox(this);
    mouthSet->setObjectName(QStringLiteral("DialogueMouthSet"));
    holdFast = Spin(this, 1, 8, settings.value(QStringLiteral("dialogue/holdFast"), rules.holdFast).toInt());
    holdSlow = Spin(this, 1, 8, settings.value(QStringLiteral("dialogue/holdSlow"), rules.holdSlow).toInt());
    keepClosures = new QCheckBox(QStringLiteral("Keep closures (MBP, FV) even when short"), this);
    keepClosures->setChecked(settings.value(QStringLiteral("dialogue/keepClosures"), rules.keepClosures).toBool());
    restAfterMs = Spin(this, 0, 5000,
                       settings.value(QStringLiteral("dialogue/restAfterMs"), int(rules.restAfterPauseMs)).toInt(), 50);
    leadFrames = Spin(this, 0, 3, settings.value(QStringLiteral("dialogue/leadFrames"), rules.leadFrames).toInt());

    align = new QPushButton(QStringLiteral("Align"), this);
    align->setObjectName(QStringLiteral("DialogueAlign"));
    align->setDefault(true);
    alignSelected = new QPushButton(QStringLiteral("Align Selected Words"), this);
    alignSelected->setObjectName(QStringLiteral("DialogueAlignSelected"));
    alignSelected->setToolTip(QStringLiteral("Aligns again only the words inside the selection, keeping the rest"));
    alignLine = new QPushButton(QStringLiteral("Align Line"), this);
    alignLine->setObjectName(QStringLiteral("DialogueAlignLine"));
    alignLine->setToolTip(QStringLiteral("Aligns the line under the text cursor alone inside the selection, "
                                         "keeping the words outside it and the other characters' words"));
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("DialogueStatus"));
    status->setWordWrap(true);

    auto* choices = new QFormLayout;
    choices->addRow(QStringLiteral("Language:"), language);
    choices->addRow(QString(), way);
    choices->addRow(QStringLiteral("Mouth set:"), mouthSet);
    choices->addRow(QStringLiteral("Hold at 24 fps and above (frames):"), holdFast);
    choices->addRow(QStringLiteral("Hold below 24 fps (frames):"), holdSlow);
    choices->addRow(QString(), keepClosures);
    choices->addRow(QStringLiteral("Rest after a pause of (ms):"), restAfterMs);
    choices->addRow(QStringLiteral("Lead (frames early):"), leadFrames);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(align);
    buttons->addWidget(alignSelected);
    buttons->addWidget(alignLine);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(text, 1);
    left->addLayout(buttons);
    left->addWidget(status);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left, 3);
    all->addLayout(choices, 2);

    connect(language, &QComboBox::currentTextChanged, this, [this] { emit LanguageChanged(); });
    for (QSpinBox* spin : {holdFast, holdSlow, restAfterMs, leadFrames})
        connect(spin, &QSpinBox::valueChanged, this, [this] { emit MouthsChanged(); });
    connect(keepClosures, &QCheckBox::toggled, this, [this] { emit MouthsChanged(); });
    connect(mouthSet, &QComboBox::currentIndexChanged, this, [this] { emit MouthsChanged(); });
}

std::string DialoguePanel::Language() const {
    const int i = language->findText(language->currentText());
    if (i >= 0) return language->itemData(i).toString().toStdString();
    // Typed: a code, perhaps followed by its name.
    return language->currentText().section(QLatin1Char(' '), 0, 0).trimmed().toStdString();
}

void DialoguePanel::showEvent(QShowEvent* event) {
    FillLanguages();
    QWidget::showEvent(event);
}

void DialoguePanel::FillLanguages() {
    if (languagesListed_) return;
    languagesListed_ = true;
    // Listing them starts espeak-ng, which reads its phoneme tables and every
    // voice file: a moment that start-up need not spend.
    const std::string chosen = Language();
    {
        const QSignalBlocker quiet(language);
        for (const EspeakLanguage& l : EspeakLanguages())
            language->addItem(
                QString::fromStdString(l.code + " - " + l.name).replace(QLatin1Char('_'), QLatin1Char(' ')),
                QString::fromStdString(l.code));
        SetLanguage(chosen);
    }
    emit LanguageChanged();
}

void DialoguePanel::SetLanguage(const std::string& code) {
    const int i = language->findData(QString::fromStdString(code));
    if (i >= 0) language->setCurrentIndex(i);
    else language->setEditText(QString::fromStdString(code));
}

MouthRules DialoguePanel::Rules() const {
    MouthRules rules;
    rules.holdFast = holdFast->value();
    rules.holdSlow = holdSlow->value();
    rules.keepClosures = keepClosures->isChecked();
    rules.restAfterPauseMs = restAfterMs->value();
    rules.leadFrames = leadFrames->value();
    return rules;
}

void DialoguePanel::Remember() const {
    QSettings settings = Settings();
    settings.setValue(QStringLiteral("dialogue/text"), text->toPlainText());
    settings.setValue(QStringLiteral("dialogue/language"), QString::fromStdString(Language()));
    settings.setValue(QStringLiteral("dialogue/mouths"), mouthSet->currentText());
    settings.setValue(QStringLiteral("dialogue/holdFast"), holdFast->value());
    settings.setValue(QStringLiteral("dialogue/holdSlow"), holdSlow->value());
    settings.setValue(QStringLiteral("dialogue/keepClosures"), keepClosures->isChecked());
    settings.setValue(QStringLiteral("dialogue/restAfterMs"), restAfterMs->value());
    settings.setValue(QStringLiteral("dialogue/leadFrames"), leadFrames->value());
}

} // namespace zv
