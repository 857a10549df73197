#include "platform/paths.h"

#include <QDir>

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

QString folderName(const QString& folder)
{
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(folder));
#ifdef _WIN32
    if (clean.size() == 2 && clean.at(1) == QLatin1Char(':'))
        clean += QLatin1Char('/');
#endif
    return QDir::toNativeSeparators(clean);
}

std::string toFileSystem(const QString& path)
{
    return path.toStdString();
}

}  // namespace orvasel::paths
