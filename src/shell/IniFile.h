#pragma once
// Our own reader and writer of profile (INI) files: section and key names in
// any letter case, a missing file, section or key reads as empty, values are
// cut at 2047 characters, a write replaces the key's whole line (creating the
// file and section when needed) and keeps every other line as it was, and a
// failed write is silent.

#include <QByteArray>
#include <QString>

namespace brisden {

// The file as it was when made, for reading many keys with one read of the
// disk; a read gives what ReadINI would have given at that moment.
class IniSnapshot {
public:
    explicit IniSnapshot(const QString& path);
    QString read(const QString& section, const QString& key, const QString& defaultValue) const;

private:
    QByteArray m_data;
    bool m_present = false;
};

QString ReadINI(const QString& section, const QString& key, const QString& defaultValue,
                const QString& path);
void WriteINI(const QString& section, const QString& key, const QString& value,
              const QString& path);

}  // namespace brisden
