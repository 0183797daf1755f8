#include "profile_editor/profile_form.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Shows 30 rather than 30.000, and 29.97 as it is.
class PlainDoubleSpinBox : public QDoubleSpinBox
{
public:
    using QDoubleSpinBox::QDoubleSpinBox;

protected:
    QString textFromValue(double value) const override { return locale().toString(value, 'g', 10); }
};

// The spin boxes take more than the rules allow, so that a slip shows its reason rather
// than being silently clamped.
QSpinBox *wholeNumber(const char *name, int most, const QString &suffix)
{
    auto *box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(0, most);
    box->setSuffix(suffix);
    box->setGroupSeparatorShown(true);
    return box;
}

QDoubleSpinBox *number(const char *name, int decimals, const QString &suffix)
{
    auto *box = new PlainDoubleSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setDecimals(decimals);
    box->setRange(0, 999);
    box->setSuffix(suffix);
    return box;
}

QLineEdit *text(const char *name, int longest)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(longest);
    return edit;
}

void selectData(QComboBox *box, int value)
{
    box->setCurrentIndex(box->findData(value));
}

} // namespace

ProfileForm::ProfileForm(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(profileGroup());
    layout->addWidget(videoGroup());
    layout->addWidget(audioGroup());
    layout->addStretch();
}

QWidget *ProfileForm::profileGroup()
{
    auto *group = new QGroupBox(tr("Profile"));
    auto *form = new QFormLayout(group);
    m_name = text("name", 100);
    m_description = text("description", 200);
    auto *name = new QHBoxLayout;
    name->addWidget(m_name, 1);
    name->addWidget(reason(ProfileField::Name, QStringLiteral("name")), 1);
    addRow(form, tr("N&ame:"), m_name, name);
    form->addRow(tr("Descr&iption:"), m_description);
    connect(m_name, &QLineEdit::textEdited, this, &ProfileForm::reportChange);
    connect(m_description, &QLineEdit::textEdited, this, &ProfileForm::reportChange);
    return group;
}

QWidget *ProfileForm::videoGroup()
{
    auto *group = new QGroupBox(tr("Video"));
    auto *form = new QFormLayout(group);
    m_width = wholeNumber("width", 9999, QString());
    m_height = wholeNumber("height", 9999, QString());
    auto *size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("×")));
    size->addWidget(m_height);
    size->addWidget(new QLabel(tr("pixels")));
    auto *sizeReasons = new QVBoxLayout;
    sizeReasons->addWidget(reason(ProfileField::Width, QStringLiteral("width")));
    sizeReasons->addWidget(reason(ProfileField::Height, QStringLiteral("height")));
    size->addLayout(sizeReasons, 1);
    addRow(form, tr("Frame si&ze:"), m_width, size);
    m_frameRate = number("frameRate", 3, tr(" frames/s"));
    addRow(form, tr("&Frame rate:"), m_frameRate, ProfileField::FrameRate);
    m_videoBitRate = wholeNumber("videoBitRate", 999999999, tr(" bit/s"));
    addRow(form, tr("&Bit rate:"), m_videoBitRate, ProfileField::VideoBitRate);
    m_keyFrameSeconds = number("keyFrameSeconds", 2, tr(" s"));
    addRow(form, tr("&Key frame every:"), m_keyFrameSeconds, ProfileField::KeyFrameSeconds);
    for (QSpinBox *box : {m_width, m_height, m_videoBitRate})
        connect(box, &QSpinBox::valueChanged, this, &ProfileForm::reportChange);
    for (QDoubleSpinBox *box : {m_frameRate, m_keyFrameSeconds})
        connect(box, &QDoubleSpinBox::valueChanged, this, &ProfileForm::reportChange);
    return group;
}

QWidget *ProfileForm::audioGroup()
{
    auto *group = new QGroupBox(tr("Audio"));
    auto *form = new QFormLayout(group);
    m_audioBitRate = wholeNumber("audioBitRate", 9999999, tr(" bit/s"));
    addRow(form, tr("Bi&t rate:"), m_audioBitRate, ProfileField::AudioBitRate);
    m_sampleRate = new QComboBox;
    m_sampleRate->setObjectName(QStringLiteral("sampleRate"));
    for (const int rate : supportedSampleRates())
        m_sampleRate->addItem(tr("%1 Hz").arg(rate), rate);
    addRow(form, tr("Sampl&e rate:"), m_sampleRate, ProfileField::SampleRate);
    m_channels = new QComboBox;
    m_channels->setObjectName(QStringLiteral("channels"));
    m_channels->addItem(tr("1 (mono)"), 1);
    m_channels->addItem(tr("2 (stereo)"), 2);
    addRow(form, tr("&Channels:"), m_channels, ProfileField::Channels);
    connect(m_audioBitRate, &QSpinBox::valueChanged, this, &ProfileForm::reportChange);
    for (QComboBox *box : {m_sampleRate, m_channels})
        connect(box, &QComboBox::currentIndexChanged, this, &ProfileForm::reportChange);
    return group;
}

// A field keeps its size; the reason it is refused takes the rest of the row, so that
// reasons coming and going do not move the rows.
void ProfileForm::addRow(QFormLayout *form, const QString &label, QWidget *field, ProfileField f)
{
    field->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(reason(f, field->objectName()), 1);
    addRow(form, label, field, row);
}

void ProfileForm::addRow(QFormLayout *form, const QString &label, QWidget *buddy, QLayout *row)
{
    auto *text = new QLabel(label);
    text->setBuddy(buddy);
    form->addRow(text, row);
}

QLabel *ProfileForm::reason(ProfileField field, const QString &name)
{
    auto *label = new QLabel;
    label->setObjectName(name + QStringLiteral("Problem"));
    label->setWordWrap(true);
    // A dark red on a light theme, a light one on a dark theme: readable (over 5:1) on both.
    QPalette palette = label->palette();
    const bool darkTheme = palette.color(QPalette::Window).lightness() < 128;
    palette.setColor(QPalette::WindowText, darkTheme ? QColor(255, 138, 128) : QColor(176, 0, 32));
    label->setPalette(palette);
    label->setVisible(false);
    m_reasons.insert(field, label);
    return label;
}

void ProfileForm::reportChange()
{
    if (!m_filling)
        emit changed();
}

void ProfileForm::showSettings(const ProfileSettings &s)
{
    m_filling = true;
    m_name->setText(s.name);
    m_description->setText(s.description);
    m_description->setCursorPosition(0); // show a long description from its start
    m_width->setValue(s.width);
    m_height->setValue(s.height);
    m_frameRate->setValue(s.maxFrameRate);
    m_videoBitRate->setValue(s.videoBitRate);
    m_keyFrameSeconds->setValue(s.keyFrameSeconds);
    m_audioBitRate->setValue(s.audioBitRate);
    selectData(m_sampleRate, s.sampleRate);
    selectData(m_channels, s.channels);
    m_filling = false;
}

ProfileSettings ProfileForm::settings() const
{
    ProfileSettings s;
    s.name = m_name->text().trimmed();
    s.description = m_description->text().trimmed();
    s.width = m_width->value();
    s.height = m_height->value();
    s.maxFrameRate = m_frameRate->value();
    s.videoBitRate = m_videoBitRate->value();
    s.keyFrameSeconds = m_keyFrameSeconds->value();
    s.audioBitRate = m_audioBitRate->value();
    s.sampleRate = m_sampleRate->currentData().toInt();
    s.channels = m_channels->currentData().toInt();
    return s;
}

void ProfileForm::setEditable(bool editable)
{
    for (QLineEdit *edit : {m_name, m_description})
        edit->setReadOnly(!editable);
    for (QAbstractSpinBox *box : std::initializer_list<QAbstractSpinBox *>{m_width,
                                                                           m_height,
                                                                           m_frameRate,
                                                                           m_videoBitRate,
                                                                           m_keyFrameSeconds,
                                                                           m_audioBitRate}) {
        box->setReadOnly(!editable);
        box->setButtonSymbols(editable ? QAbstractSpinBox::UpDownArrows
                                       : QAbstractSpinBox::NoButtons);
    }
    m_sampleRate->setEnabled(editable);
    m_channels->setEnabled(editable);
}

void ProfileForm::showProblems(const QList<ProfileProblem> &problems)
{
    for (auto it = m_reasons.cbegin(); it != m_reasons.cend(); ++it) {
        QString reason;
        for (const ProfileProblem &problem : problems) {
            if (problem.field == it.key() && reason.isEmpty())
                reason = problem.reason;
        }
        if (!reason.isEmpty())
            reason[0] = reason[0].toUpper();
        it.value()->setText(reason);
        it.value()->setVisible(!reason.isEmpty());
    }
}
