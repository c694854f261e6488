#include "TestSupport.h"

#include "Schema.h"

#include <QFile>

namespace vastrel::test {

void TempDirTest::writeFile(const QString& name, const QByteArray& content) const {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TempDirTest::readFile(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SchemaTest::SetUp() {
    db = Database::create(path("test.db"), kTestPassword);
    schema::create(db);
}

int SchemaTest::count(const QString& table, const QString& where, const Params& params) {
    return db.scalar("SELECT count(*) FROM " + table + " WHERE " + where, params).toInt();
}

} // namespace vastrel::test
