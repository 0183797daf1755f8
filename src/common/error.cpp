#include "common/error.h"

#include <cstring>

Error::Error(const QString &description)
    : std::runtime_error(description.toStdString())
    , m_description(description)
{}

QString systemReason(int errnoValue)
{
    return QString::fromLocal8Bit(std::strerror(errnoValue));
}
