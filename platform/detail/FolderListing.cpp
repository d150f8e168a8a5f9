// SPDX-FileCopyrightText: 2026 The Pelorin developers
// SPDX-License-Identifier: MIT
#include "platform/detail/FolderListing.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <vector>

namespace platform::detail {

void sortNaturally(QStringList &names)
{
    // The C locale collates by code points alone, without numbers or case:
    // people running in it still expect "img2" before "img10" and "b" after
    // "A", so it collates as English does.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Keys once per name rather than a collation per comparison.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(names.size()));
    for (const QString &name : std::as_const(names))
        keys.push_back(collator.sortKey(name));
    std::vector<qsizetype> order(static_cast<std::size_t>(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int byKey
                = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        if (byKey != 0)
            return byKey < 0;
        // Names the collation holds equal ("a.jpg", "A.jpg") keep one order.
        return names.at(a) < names.at(b);
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype index : order)
        sorted.append(names.at(index));
    names = std::move(sorted);
}

QStringList wildcards(const QString &pattern)
{
    QStringList result;
    for (const QString &part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString wildcard = part.trimmed();
        if (wildcard.isEmpty())
            continue;
        result.append(wildcard);
        if (wildcard.compare(QLatin1String("*.jpg"), Qt::CaseInsensitive) == 0)
            result.append(QStringLiteral("*.jpeg"));
    }
    return result;
}

QStringList listFiles(const QString &folder, const QStringList &wildcards, qsizetype limit)
{
    QStringList names;
    if (wildcards.isEmpty())
        return names;
    // Files only: QDir counts pipes, sockets, devices and dangling links as
    // system entries, which are left out, so nothing listed can block a read.
    QDirIterator it(folder, wildcards, QDir::Files);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    sortNaturally(names);
    if (names.size() > limit)
        names.resize(limit);
    return names;
}

QStringList listFolders(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    sortNaturally(names);
    return names;
}

QString absoluteFolder(const QString &path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

} // namespace platform::detail
