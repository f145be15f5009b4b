#pragma once
// Where the user manual lives and how its topics are named. The manual is a
// Qt Help collection (brisden.qhc, with the compressed pages brisden.qch
// beside it), built with the program and installed with it. Every topic
// number of ui::HelpTopic is a keyword id of the collection; the short
// pop-up texts are entries of the manual's page of short texts.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace brisden::help {

inline constexpr const char* kCollectionFileName = "brisden.qhc";
inline constexpr const char* kDocumentationFileName = "brisden.qch";
// The namespace and virtual folder of the manual's pages (brisden.qhp).
inline constexpr const char* kManualNamespace = "org.brisden.manual";
inline constexpr const char* kManualFolder = "doc";
inline constexpr const char* kContentsPage = "index.html";
inline constexpr const char* kPopupsPage = "popups.html";

// The places a collection is looked for, in order: beside the program, the
// build tree's help folder (the program in build/bin), the installed share
// folder of the program's prefix (bin/../share/brisden), and the system's
// data folders (.../share/brisden).
QStringList HelpCollectionCandidates(const QString& appFolder);

// The first candidate that exists; when none does, the first candidate (so
// that a message can name where the manual belongs).
QString FindHelpCollection(const QString& appFolder);

// The help engine writes its full-text index beside the collection it opens,
// and may note its state in it. A collection in a folder the user cannot
// write (an installed one) is copied with its .qch into cacheFolder first,
// again whenever the installed one changes. Returns the collection to open,
// or "" when a copy was needed and failed.
QString WritableCollection(const QString& collection, const QString& cacheFolder);

// The keyword id of a topic number in the collection ("brisden.1002").
QString TopicIdentifier(int id);

// The address of a page of the manual inside the collection ("page.html" or
// "page.html#anchor").
QUrl ManualUrl(const QString& page);

// The short text of topic id on the manual's page of short texts (entries
// <dd id="pNNNN">...</dd>), as plain text with its blanks collapsed; ""
// when the page has no such entry.
QString PopupText(const QByteArray& popupsPage, int id);

}  // namespace brisden::help
