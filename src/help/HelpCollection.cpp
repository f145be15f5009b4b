#include "help/HelpCollection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace brisden::help {

QStringList HelpCollectionCandidates(const QString& appFolder)
{
    const QString name = QLatin1String(kCollectionFileName);
    const QDir app(appFolder);
    QStringList candidates = {
        app.filePath(name),
        QDir::cleanPath(app.filePath(QStringLiteral("../help/") + name)),
        QDir::cleanPath(app.filePath(QStringLiteral("../share/brisden/") + name)),
    };
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString path = QDir::cleanPath(data + QStringLiteral("/brisden/") + name);
        if (!candidates.contains(path))
            candidates << path;
    }
    return candidates;
}

QString FindHelpCollection(const QString& appFolder)
{
    const QStringList candidates = HelpCollectionCandidates(appFolder);
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile())
            return path;
    return candidates.first();
}

namespace {

// True when target is a copy of source as far as size and time tell.
bool SameFile(const QString& source, const QString& target)
{
    const QFileInfo s(source);
    const QFileInfo t(target);
    return t.isFile() && s.size() == t.size() && s.lastModified() <= t.lastModified();
}

bool CopyOver(const QString& source, const QString& target)
{
    if (SameFile(source, target))
        return true;
    QFile::remove(target);
    return QFile::copy(source, target) &&
           QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                             QFile::ReadOther);
}

}  // namespace

QString WritableCollection(const QString& collection, const QString& cacheFolder)
{
    const QFileInfo info(collection);
    if (QFileInfo(info.absolutePath()).isWritable() && (!info.exists() || info.isWritable()))
        return collection;
    if (!QDir().mkpath(cacheFolder))
        return QString();
    const QDir cache(cacheFolder);
    const QString documentation = info.dir().filePath(QLatin1String(kDocumentationFileName));
    const QString copiedDocumentation = cache.filePath(QLatin1String(kDocumentationFileName));
    const QString copiedCollection = cache.filePath(info.fileName());
    // A changed manual also changes its collection: both go again, and the
    // old full-text index with them.
    const bool changed = !SameFile(collection, copiedCollection) ||
                         !SameFile(documentation, copiedDocumentation);
    if (changed) {
        QDir(cache.filePath(QLatin1Char('.') + info.completeBaseName())).removeRecursively();
        QFile::remove(copiedCollection);
    }
    if (!CopyOver(documentation, copiedDocumentation) || !CopyOver(collection, copiedCollection))
        return QString();
    return copiedCollection;
}

QString TopicIdentifier(int id)
{
    return QStringLiteral("brisden.%1").arg(id);
}

QUrl ManualUrl(const QString& page)
{
    QUrl url;
    url.setScheme(QStringLiteral("qthelp"));
    url.setHost(QLatin1String(kManualNamespace));
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    url.setPath(QLatin1Char('/') + QLatin1String(kManualFolder) + QLatin1Char('/') +
                page.left(hash));
    if (hash >= 0)
        url.setFragment(page.mid(hash + 1));
    return url;
}

QString PopupText(const QByteArray& popupsPage, int id)
{
    const QString page = QString::fromUtf8(popupsPage);
    const QRegularExpression entry(
        QStringLiteral("<dd\\s+id=\"p%1\"[^>]*>(.*?)</dd>").arg(id),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = entry.match(page);
    if (!match.hasMatch())
        return QString();
    QString text = match.captured(1);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    text.remove(tag);
    static const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "},
        {"&amp;", "&"}};
    for (const auto& [from, to] : entities)
        text.replace(QLatin1String(from), QLatin1String(to));
    return text.simplified();
}

}  // namespace brisden::help
