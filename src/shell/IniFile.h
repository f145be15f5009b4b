#pragma once
// Our own reader and writer of profile (INI) files: section and key names in
// any letter case, a missing file, section or key reads as empty, values are
// cut at 2047 characters, a write replaces the key's whole line (creating the
// file and section when needed) and keeps every other line as it was, and a
// failed write is silent.

#include <QString>

namespace brisden {

QString ReadINI(const QString& section, const QString& key, const QString& defaultValue,
                const QString& path);
void WriteINI(const QString& section, const QString& key, const QString& value,
              const QString& path);

}  // namespace brisden
