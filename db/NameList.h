#pragma once

#include <QString>
#include <QVector>

class Connection;

// The numbers and names of a list of ships or ports, read once and nothing else: no figures, no
// row objects, so that reading ten thousand names costs little more than the names themselves.
class NameList {
public:
    NameList() = default;
    // Reads `sql`, whose first column is the number and whose second is the name, in its order.
    // Throws VbError when the statement fails; the list is then left as it was.
    NameList(Connection& connection, const QString& sql);

    // A row without a number (a null in the table) gives this.
    static constexpr qint64 NoId = -(qint64(1) << 62);

    int count() const { return int(m_names.size()); }
    bool isEmpty() const { return m_names.isEmpty(); }
    QString name(int index) const { return m_names.at(index); }  // a null name is empty
    qint64 id(int index) const { return m_ids.at(index); }
    // The first row of that number, or -1.
    int indexOfId(qint64 id) const { return int(m_ids.indexOf(id)); }
    // The first row whose name is exactly `name` (letter case included), or -1.
    int indexOfName(const QString& name) const;

    const QVector<QString>& names() const { return m_names; }
    const QVector<qint64>& ids() const { return m_ids; }

private:
    QVector<QString> m_names;
    QVector<qint64> m_ids;
};
