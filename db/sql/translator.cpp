#include "db/sql/translator.h"

#include "db/sql/parser.h"
#include "db/sql/resolver.h"
#include "db/sql/sqlite_emitter.h"

#include <QHash>

namespace db::sql {

Translation translate(const QString& jetSql, const Catalog* catalog, Dialect dialect) {
    std::unique_ptr<Emitter> emitter = makeEmitter(dialect);
    Parser parser(jetSql);
    ast::Statement st = parser.parseStatement();
    Resolver resolver(catalog);
    resolver.resolve(st);
    Translation t;
    t.kind = st.kind;
    t.sql = emitter->statement(st);
    t.tables = resolver.tables();
    t.parameters = parser.parameterCount();
    if (st.select && (st.kind == StatementKind::Select || st.kind == StatementKind::Identity))
        t.columns = st.select->columns;
    return t;
}

FieldType fieldTypeFromDeclared(const QString& declaredType) {
    QString t = declaredType.trimmed().toUpper();
    const int paren = t.indexOf(u'(');
    if (paren >= 0)
        t = t.left(paren).trimmed();
    const int space = t.indexOf(u' ');
    if (space >= 0)
        t = t.left(space);
    static const QHash<QString, FieldType> types = [] {
        QHash<QString, FieldType> m;
        for (const char* n : {"COUNTER", "AUTOINCREMENT", "INTEGER", "INT", "LONG", "SHORT",
                              "BYTE", "SMALLINT", "TINYINT", "BIGINT", "INTEGER1", "INTEGER2",
                              "INTEGER4"})
            m.insert(QLatin1String(n), FieldType::Integer);
        for (const char* n : {"DOUBLE", "CURRENCY", "MONEY", "SINGLE", "FLOAT", "FLOAT4",
                              "FLOAT8", "REAL", "NUMERIC", "DECIMAL", "NUMBER", "IEEEDOUBLE",
                              "IEEESINGLE"})
            m.insert(QLatin1String(n), FieldType::Double);
        for (const char* n : {"YESNO", "BIT", "BOOLEAN", "LOGICAL", "LOGICAL1"})
            m.insert(QLatin1String(n), FieldType::Bool);
        for (const char* n : {"DATETIME", "DATE", "TIME", "TIMESTAMP"})
            m.insert(QLatin1String(n), FieldType::Date);
        for (const char* n : {"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT", "CLOB"})
            m.insert(QLatin1String(n), FieldType::Memo);
        for (const char* n : {"LONGBINARY", "OLEOBJECT", "IMAGE", "BLOB", "BINARY",
                              "VARBINARY", "GENERAL"})
            m.insert(QLatin1String(n), FieldType::Blob);
        return m;
    }();
    return types.value(t, FieldType::Text);
}

bool isCurrencyDeclared(const QString& declaredType) {
    const QString t = declaredType.trimmed().toUpper();
    return t.startsWith(QLatin1String("CURRENCY")) || t.startsWith(QLatin1String("MONEY"));
}

bool isAutoNumberDeclared(const QString& declaredType, bool primaryKey) {
    const QString t = declaredType.trimmed().toUpper();
    if (t.startsWith(QLatin1String("COUNTER")) || t.startsWith(QLatin1String("AUTOINCREMENT")))
        return true;
    return primaryKey && t == QLatin1String("INTEGER");
}

} // namespace db::sql
