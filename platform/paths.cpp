#include "platform/paths.h"

namespace orvasel::paths {

QChar separator()
{
#ifdef _WIN32
    return QLatin1Char('\\');
#else
    return QLatin1Char('/');
#endif
}

QString cutAfterLastSeparator(const QString& text)
{
    return text.left(text.lastIndexOf(separator()) + 1);
}

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(separator()) + 1);
}

QString folderPart(const QString& path)
{
    return cutAfterLastSeparator(path);
}

std::string toFileSystem(const QString& path)
{
    return path.toStdString();
}

}  // namespace orvasel::paths
