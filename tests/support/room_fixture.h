#pragma once

// The real room as core tests start it: scripted message boxes, a clock that shows a fixed moment
// and moves only when told, and an empty data directory of its own. `room->` reaches the Room
// itself; the members name its parts.

#include "room/room.h"
#include "support/failing_writer.h"
#include "support/manual_clock.h"
#include "support/scripted_messages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

struct TestRoom {
    QTemporaryDir dir;
    // The disk under the room: the real one, until a test makes it fail.
    cuemora::FailingWriter writer;
    cuemora::DataDirectory data{dir.path(), writer};
    cuemora::ScriptedMessages messages;
    cuemora::ManualClock clock;
    cuemora::Room m_room{data, clock, messages};
    cuemora::TableRegister& tables = m_room.tables();

    // Opens the room as the program starts it, unless told not to.
    enum Start { Opened, NotOpened };
    explicit TestRoom(Start start = Opened) {
        if (start == Opened)
            QVERIFY(m_room.open());
    }

    cuemora::Room* operator->() { return &m_room; }
    cuemora::Room& room() { return m_room; }

    // The default account, as an operator logs in.
    void logIn() { QVERIFY(m_room.Login(QStringLiteral("tulip"), QStringLiteral("947"))); }

    // Appends tables the way "添加" does, without its save.
    void add(int count, const QString& type, const QString& name = QStringLiteral("大厅"),
             const QString& price = QStringLiteral("20"), const QString& rate = QStringLiteral("10")) {
        cuemora::AddTables(tables, {QString::number(count), type, name, price, rate}, messages);
        tables.RefreshPictures();
    }

    // Puts table n in use with the given seconds, as a saved register brings it.
    void use(int n, const QString& seconds = QStringLiteral("1")) {
        tables.grid().setCell(n, cuemora::RegisterColumn::Start, QStringLiteral("2013年5月20日14时30分5秒"));
        tables.grid().setCell(n, cuemora::RegisterColumn::Seconds, seconds);
        tables.grid().setChecked(n, cuemora::RegisterColumn::InUse, true);
    }

    // Lets `seconds` pass and gives the clock its tick.
    void tick(qint64 seconds = 1) {
        clock.advance(seconds);
        m_room.ClockTick();
    }

    QString cell(int row, int column) const { return tables.grid().cellText(row, column); }

    QByteArray fileBytes(const QString& name) const {
        QFile file(data.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool fileExists(const QString& name) const { return QFile::exists(data.filePath(name)); }
};

inline QList<int> numbersOf(const QList<cuemora::TableItem>& items) {
    QList<int> numbers;
    for (const auto& item : items)
        numbers.append(item.number);
    return numbers;
}

// The picture cell bytes that a status picture becomes in a grid.
inline QByteArray pictureCell(cuemora::StatusPicture picture) {
    cuemora::GridStore::Definition definition;
    definition.rows = 2;
    definition.columns = 1;
    cuemora::GridStore grid(definition);
    grid.setColumnKind(0, 6);
    grid.setPicture(1, 0, cuemora::statusPictureIcon(picture));
    return grid.getCell(1, 0).toByteArray();
}

inline QByteArray shownPicture(const cuemora::TableRegister& tables, int row) {
    return tables.grid().getCell(row, cuemora::RegisterColumn::Picture).toByteArray();
}
