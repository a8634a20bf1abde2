// The DDL half of the parser: CREATE TABLE / INDEX, ALTER TABLE, DROP TABLE / INDEX, as
// Jet's update scripts write them.

#include "db/sql/parser.h"

#include "db/error.h"

#include <QHash>

namespace db::sql {

using namespace ast;

namespace {

const QHash<QString, ColumnType>& jetTypes() {
    static const QHash<QString, ColumnType> types = [] {
        QHash<QString, ColumnType> t;
        for (const char* n : {"counter", "autoincrement", "identity"})
            t.insert(QLatin1String(n), ColumnType::Counter);
        for (const char* n : {"text", "varchar", "char", "character", "string", "nvarchar",
                              "nchar", "alphanumeric"})
            t.insert(QLatin1String(n), ColumnType::Text);
        for (const char* n : {"memo", "longtext", "longchar", "note", "ntext"})
            t.insert(QLatin1String(n), ColumnType::Memo);
        for (const char* n : {"yesno", "bit", "logical", "logical1", "boolean"})
            t.insert(QLatin1String(n), ColumnType::YesNo);
        for (const char* n : {"datetime", "date", "time", "timestamp"})
            t.insert(QLatin1String(n), ColumnType::DateTime);
        for (const char* n : {"currency", "money"})
            t.insert(QLatin1String(n), ColumnType::Currency);
        for (const char* n : {"double", "float", "float8", "ieeedouble", "single", "float4",
                              "ieeesingle", "real", "numeric", "decimal", "number"})
            t.insert(QLatin1String(n), ColumnType::Double);
        for (const char* n : {"long", "integer", "int", "integer4", "short", "smallint",
                              "integer2", "byte", "tinyint", "integer1"})
            t.insert(QLatin1String(n), ColumnType::Integer);
        for (const char* n : {"longbinary", "oleobject", "general", "image", "binary",
                              "varbinary"})
            t.insert(QLatin1String(n), ColumnType::Binary);
        return t;
    }();
    return types;
}

} // namespace

QStringList Parser::parseNameList() {
    QStringList names;
    expectSymbol(u"(");
    do {
        names << expectName(QStringLiteral("il nome di una colonna"));
    } while (acceptSymbol(u","));
    expectSymbol(u")");
    return names;
}

void Parser::parseReferences(QString& table, QStringList& columns) {
    expectWord(u"references");
    table = expectName(QStringLiteral("il nome di una tabella"));
    if (peek().isSymbol(u"("))
        columns = parseNameList();
    if (peek().isWord(u"on"))
        fail(QStringLiteral("Azioni ON UPDATE/ON DELETE non supportate"), peek());
}

Statement Parser::parseCreate() {
    expectWord(u"create");
    Statement st;
    if (acceptWord(u"table")) {
        st.kind = StatementKind::CreateTable;
        st.createTable = std::make_unique<CreateTable>();
        CreateTable& ct = *st.createTable;
        ct.name = expectName(QStringLiteral("il nome di una tabella"));
        expectSymbol(u"(");
        do {
            const Token t = peek();
            if (t.isWord(u"constraint")) {
                next();
                const QString name = expectName(QStringLiteral("il nome di un vincolo"));
                ct.constraints.push_back(parseTableConstraint(name, t.pos));
            } else if (t.isWord(u"primary") || t.isWord(u"unique") || t.isWord(u"foreign")) {
                ct.constraints.push_back(parseTableConstraint(QString(), t.pos));
            } else {
                ct.columns.push_back(parseColumnDef());
            }
        } while (acceptSymbol(u","));
        expectSymbol(u")");
        if (ct.columns.empty())
            fail(QStringLiteral("Una tabella deve avere almeno una colonna"), peek());
        return st;
    }
    bool unique = false;
    if (acceptWord(u"unique"))
        unique = true;
    if (acceptWord(u"index")) {
        st.kind = StatementKind::CreateIndex;
        st.createIndex = std::make_unique<CreateIndex>();
        CreateIndex& ci = *st.createIndex;
        ci.unique = unique;
        ci.name = expectName(QStringLiteral("il nome di un indice"));
        expectWord(u"on");
        ci.table = expectName(QStringLiteral("il nome di una tabella"));
        expectSymbol(u"(");
        do {
            IndexColumn c;
            c.name = expectName(QStringLiteral("il nome di una colonna"));
            if (acceptWord(u"desc")) {
                c.desc = true;
                c.hasDirection = true;
            } else if (acceptWord(u"asc")) {
                c.hasDirection = true;
            }
            ci.columns.push_back(c);
        } while (acceptSymbol(u","));
        expectSymbol(u")");
        if (peek().isWord(u"with"))
            fail(QStringLiteral("Opzioni WITH degli indici non supportate"), peek());
        return st;
    }
    fail(QStringLiteral("Atteso TABLE o INDEX"), peek());
}

TableConstraint Parser::parseTableConstraint(const QString& name, int pos) {
    TableConstraint c;
    c.name = name;
    c.pos = pos;
    if (acceptWord(u"primary")) {
        expectWord(u"key");
        c.kind = TableConstraint::PrimaryKey;
        c.columns = parseNameList();
    } else if (acceptWord(u"unique")) {
        c.kind = TableConstraint::Unique;
        c.columns = parseNameList();
    } else if (acceptWord(u"foreign")) {
        expectWord(u"key");
        c.kind = TableConstraint::ForeignKey;
        c.columns = parseNameList();
        parseReferences(c.refTable, c.refColumns);
    } else {
        fail(QStringLiteral("Atteso PRIMARY KEY, UNIQUE o FOREIGN KEY"), peek());
    }
    return c;
}

ColumnDef Parser::parseColumnDef() {
    ColumnDef c;
    c.pos = peek().pos;
    c.name = expectName(QStringLiteral("il nome di una colonna"));
    const Token typeTok = peek();
    if (typeTok.kind != Token::Ident)
        fail(QStringLiteral("Atteso il tipo della colonna"), typeTok);
    const auto it = jetTypes().constFind(typeTok.text.toLower());
    if (it == jetTypes().constEnd())
        fail(QStringLiteral("Tipo di colonna sconosciuto: %1").arg(typeTok.text), typeTok);
    next();
    c.type = *it;
    if (acceptSymbol(u"(")) {
        // TEXT(n), DECIMAL(p, s), COUNTER(seed, increment).
        const Token n = next();
        if (n.kind != Token::Number || n.text.size() > 9 || n.text.contains(u'.'))
            fail(QStringLiteral("Attesa la dimensione della colonna"), n);
        if (c.type == ColumnType::Text)
            c.size = n.text.toInt();
        if (acceptSymbol(u",")) {
            const Token m = next();
            if (m.kind != Token::Number)
                fail(QStringLiteral("Atteso un numero"), m);
        }
        expectSymbol(u")");
    }
    if (acceptWord(u"with")) {
        if (!acceptWord(u"compression") && !acceptWord(u"comp"))
            fail(QStringLiteral("Atteso COMPRESSION"), peek());
    }
    for (;;) {
        const Token t = peek();
        if (t.isWord(u"not")) {
            next();
            expectWord(u"null");
            c.notNull = true;
        } else if (t.isWord(u"null")) {
            next();
        } else if (t.isWord(u"default")) {
            next();
            c.defaultValue = parseUnary();
        } else if (t.isWord(u"constraint")) {
            next();
            expectName(QStringLiteral("il nome di un vincolo"));
            if (!peek().isWord(u"primary") && !peek().isWord(u"unique")
                && !peek().isWord(u"references"))
                fail(QStringLiteral("Atteso PRIMARY KEY, UNIQUE o REFERENCES"), peek());
        } else if (t.isWord(u"primary")) {
            next();
            expectWord(u"key");
            c.primaryKey = true;
        } else if (t.isWord(u"unique")) {
            next();
            c.unique = true;
        } else if (t.isWord(u"references")) {
            parseReferences(c.refTable, c.refColumns);
        } else {
            break;
        }
    }
    return c;
}

Statement Parser::parseAlter() {
    expectWord(u"alter");
    expectWord(u"table");
    Statement st;
    st.kind = StatementKind::AlterTable;
    st.alterTable = std::make_unique<AlterTable>();
    AlterTable& at = *st.alterTable;
    at.table = expectName(QStringLiteral("il nome di una tabella"));
    if (acceptWord(u"add")) {
        if (peek().isWord(u"constraint") || peek().isWord(u"primary"))
            fail(QStringLiteral("ALTER TABLE ... ADD CONSTRAINT non supportato"), peek());
        acceptWord(u"column");
        at.column = parseColumnDef();
        if (at.column.type == ColumnType::Counter || at.column.primaryKey)
            fail(QStringLiteral("Non si può aggiungere un contatore o una chiave primaria a "
                                "una tabella esistente"),
                 Token{Token::Ident, at.column.name, at.column.pos, at.column.pos});
        return st;
    }
    if (acceptWord(u"drop")) {
        if (peek().isWord(u"constraint"))
            fail(QStringLiteral("ALTER TABLE ... DROP CONSTRAINT non supportato"), peek());
        acceptWord(u"column");
        at.drop = true;
        at.dropColumn = expectName(QStringLiteral("il nome di una colonna"));
        return st;
    }
    if (peek().isWord(u"alter"))
        fail(QStringLiteral("ALTER TABLE ... ALTER COLUMN non supportato"), peek());
    fail(QStringLiteral("Atteso ADD o DROP"), peek());
}

Statement Parser::parseDrop() {
    expectWord(u"drop");
    Statement st;
    if (acceptWord(u"table")) {
        st.kind = StatementKind::DropTable;
        st.dropName = expectName(QStringLiteral("il nome di una tabella"));
        return st;
    }
    if (acceptWord(u"index")) {
        st.kind = StatementKind::DropIndex;
        st.dropName = expectName(QStringLiteral("il nome di un indice"));
        expectWord(u"on");
        st.dropTable = expectName(QStringLiteral("il nome di una tabella"));
        return st;
    }
    fail(QStringLiteral("Atteso TABLE o INDEX"), peek());
}

} // namespace db::sql
