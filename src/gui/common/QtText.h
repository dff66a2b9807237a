#pragma once

#include "domain/text/Texts.h"

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace tess::gui {

// The program works in UTF-8 inside; paths are handed over in the file system's own
// encoding.
inline QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
inline std::string toUtf8(const QString& text)
{
    return text.toUtf8().toStdString();
}
inline QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
inline std::string toPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString textOf(TextId id, Language language)
{
    return fromUtf8(text(id, language));
}

} // namespace tess::gui
