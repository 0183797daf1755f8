#pragma once

#include "profiles/profile_rules.h"

#include <QMap>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QSpinBox;

// The settings of one profile as fields, each with the reason it is refused shown beside
// it. Every field's objectName is the setting's name ("name", "frameRate", ...), each
// reason label's that name followed by "Problem".
class ProfileForm : public QWidget
{
    Q_OBJECT
public:
    explicit ProfileForm(QWidget *parent = nullptr);

    // Fills the fields without reporting a change.
    void showSettings(const ProfileSettings &settings);
    // The fields' settings; name and description without surrounding blanks.
    ProfileSettings settings() const;
    void setEditable(bool editable);
    void showProblems(const QList<ProfileProblem> &problems);

signals:
    void changed();

private:
    QWidget *profileGroup();
    QWidget *videoGroup();
    QWidget *audioGroup();
    void addRow(QFormLayout *form, const QString &label, QWidget *field, ProfileField f);
    void addRow(QFormLayout *form, const QString &label, QWidget *buddy, QLayout *row);
    QLabel *reason(ProfileField field, const QString &name);
    void reportChange();

    QLineEdit *m_name = nullptr;
    QLineEdit *m_description = nullptr;
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
    QDoubleSpinBox *m_frameRate = nullptr;
    QSpinBox *m_videoBitRate = nullptr;
    QDoubleSpinBox *m_keyFrameSeconds = nullptr;
    QSpinBox *m_audioBitRate = nullptr;
    QComboBox *m_sampleRate = nullptr;
    QComboBox *m_channels = nullptr;
    QMap<ProfileField, QLabel *> m_reasons;
    bool m_filling = false;
};
