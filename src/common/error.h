#pragma once

#include <QString>

#include <stdexcept>

// The one error type of the program: a run-time failure that carries a description the
// user can act on ("Cannot open the input Z:\home\ann\clip.mpg: No such file or directory").
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &description);

    QString description() const { return m_description; }

private:
    QString m_description;
};

// The reason of the last failed C library call (errno), worded for a user.
QString systemReason(int errnoValue);
