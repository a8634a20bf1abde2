#pragma once

#include "db/sql/ast.h"
#include "db/sql/lexer.h"

namespace db::sql {

// Parses one Jet-dialect statement (a trailing ';' allowed) into a syntax tree. Throws
// db::SyntaxError with the position where reading stopped. Nesting deeper than
// kMaxNesting parentheses or subqueries, or expressions taller than kMaxDepth, are errors,
// so that no later pass can overflow the stack.
class Parser {
public:
    static constexpr int kMaxNesting = 64;
    static constexpr int kMaxDepth = 1000;

    explicit Parser(const QString& text);
    ast::Statement parseStatement();
    // How many '?' parameters the statement holds.
    int parameterCount() const { return m_parameters; }

private:
    // Tokens.
    const Token& peek(int ahead = 0) const;
    Token next();
    bool acceptWord(QStringView w);
    bool acceptSymbol(QStringView s);
    Token expectWord(QStringView w);
    Token expectSymbol(QStringView s);
    [[noreturn]] void fail(const QString& message, const Token& at) const;
    [[noreturn]] void unexpected(const Token& at) const;
    QString expectName(const QString& what);
    bool atName() const;
    bool isReserved(const Token& t) const;

    // Statements.
    std::unique_ptr<ast::Select> parseSelect();
    void parseSelectItems(ast::Select& s);
    ast::TableRefPtr parseTableRef();
    ast::TableRefPtr parseTablePrimary();
    ast::Statement parseInsert();
    ast::Statement parseUpdate();
    ast::Statement parseDelete();
    ast::Statement parseCreate();
    ast::Statement parseAlter();
    ast::Statement parseDrop();
    ast::ColumnDef parseColumnDef();
    ast::TableConstraint parseTableConstraint(const QString& name, int pos);
    QStringList parseNameList();
    void parseReferences(QString& table, QStringList& columns);

    // Expressions, lowest precedence first.
    ast::ExprPtr parseExpr();
    ast::ExprPtr parseOr();
    ast::ExprPtr parseAnd();
    ast::ExprPtr parseNot();
    ast::ExprPtr parseComparison();
    ast::ExprPtr parseConcat();
    ast::ExprPtr parseAdditive();
    ast::ExprPtr parseMultiplicative();
    ast::ExprPtr parseUnary();
    ast::ExprPtr parsePrimary();
    ast::ExprPtr parseColumnOrFunction();

    ast::ExprPtr makeNode(ast::Expr::Kind kind, int pos, QString text,
                          std::vector<ast::ExprPtr> args);
    void enter(const Token& at);
    void leave() { --m_nesting; }

    QList<Token> m_tokens;
    int m_index = 0;
    int m_nesting = 0;
    int m_parameters = 0;
};

} // namespace db::sql
