// The expression half of the parser: Jet's operators from OR down to literals, names and
// function calls.

#include "db/sql/parser.h"

#include "db/error.h"

namespace db::sql {

using namespace ast;


ExprPtr Parser::parseExpr() {
    enter(peek());
    ExprPtr e = parseOr();
    leave();
    return e;
}

ExprPtr Parser::parseOr() {
    ExprPtr first = parseAnd();
    if (!peek().isWord(u"or"))
        return first;
    std::vector<ExprPtr> args;
    const int pos = first->pos;
    args.push_back(std::move(first));
    while (acceptWord(u"or"))
        args.push_back(parseAnd());
    return makeNode(Expr::Logical, pos, QStringLiteral("or"), std::move(args));
}

ExprPtr Parser::parseAnd() {
    ExprPtr first = parseNot();
    if (!peek().isWord(u"and"))
        return first;
    std::vector<ExprPtr> args;
    const int pos = first->pos;
    args.push_back(std::move(first));
    while (acceptWord(u"and"))
        args.push_back(parseNot());
    return makeNode(Expr::Logical, pos, QStringLiteral("and"), std::move(args));
}

ExprPtr Parser::parseNot() {
    const Token t = peek();
    if (acceptWord(u"not")) {
        enter(t);
        std::vector<ExprPtr> args;
        args.push_back(parseNot());
        leave();
        return makeNode(Expr::Not, t.pos, QString(), std::move(args));
    }
    return parseComparison();
}

ExprPtr Parser::parseComparison() {
    ExprPtr left = parseConcat();
    for (;;) {
        const Token t = peek();
        if (t.kind == Token::Symbol
            && (t.text == u"=" || t.text == u"<>" || t.text == u"<" || t.text == u">"
                || t.text == u"<=" || t.text == u">=")) {
            next();
            std::vector<ExprPtr> args;
            args.push_back(std::move(left));
            args.push_back(parseConcat());
            left = makeNode(Expr::Binary, t.pos, t.text, std::move(args));
            continue;
        }
        if (t.isWord(u"is")) {
            next();
            const bool negated = acceptWord(u"not");
            expectWord(u"null");
            std::vector<ExprPtr> args;
            args.push_back(std::move(left));
            left = makeNode(Expr::IsNull, t.pos, QString(), std::move(args));
            left->negated = negated;
            continue;
        }
        bool negated = false;
        if (t.isWord(u"not")
            && (peek(1).isWord(u"like") || peek(1).isWord(u"in") || peek(1).isWord(u"between"))) {
            next();
            negated = true;
        }
        const Token op = peek();
        if (op.isWord(u"like")) {
            next();
            std::vector<ExprPtr> args;
            args.push_back(std::move(left));
            args.push_back(parseConcat());
            left = makeNode(Expr::Like, op.pos, QString(), std::move(args));
            left->negated = negated;
            continue;
        }
        if (op.isWord(u"between")) {
            next();
            std::vector<ExprPtr> args;
            args.push_back(std::move(left));
            args.push_back(parseConcat());
            expectWord(u"and");
            args.push_back(parseConcat());
            left = makeNode(Expr::Between, op.pos, QString(), std::move(args));
            left->negated = negated;
            continue;
        }
        if (op.isWord(u"in")) {
            next();
            const Token open = expectSymbol(u"(");
            enter(open);
            std::vector<ExprPtr> args;
            args.push_back(std::move(left));
            std::unique_ptr<Select> sub;
            if (peek().isWord(u"select")) {
                sub = parseSelect();
            } else {
                do {
                    args.push_back(parseExpr());
                } while (acceptSymbol(u","));
            }
            expectSymbol(u")");
            leave();
            left = makeNode(Expr::In, op.pos, QString(), std::move(args));
            left->subquery = std::move(sub);
            left->negated = negated;
            continue;
        }
        if (negated)
            unexpected(op);
        return left;
    }
}

ExprPtr Parser::parseConcat() {
    ExprPtr left = parseAdditive();
    while (peek().isSymbol(u"&")) {
        const Token t = next();
        std::vector<ExprPtr> args;
        args.push_back(std::move(left));
        args.push_back(parseAdditive());
        left = makeNode(Expr::Binary, t.pos, QStringLiteral("&"), std::move(args));
    }
    return left;
}

ExprPtr Parser::parseAdditive() {
    ExprPtr left = parseMultiplicative();
    while (peek().isSymbol(u"+") || peek().isSymbol(u"-")) {
        const Token t = next();
        std::vector<ExprPtr> args;
        args.push_back(std::move(left));
        args.push_back(parseMultiplicative());
        left = makeNode(Expr::Binary, t.pos, t.text, std::move(args));
    }
    return left;
}

ExprPtr Parser::parseMultiplicative() {
    ExprPtr left = parseUnary();
    for (;;) {
        const Token t = peek();
        QString op;
        if (t.isSymbol(u"*") || t.isSymbol(u"/") || t.isSymbol(u"\\"))
            op = t.text;
        else if (t.isWord(u"mod"))
            op = QStringLiteral("mod");
        else
            return left;
        next();
        std::vector<ExprPtr> args;
        args.push_back(std::move(left));
        args.push_back(parseUnary());
        left = makeNode(Expr::Binary, t.pos, op, std::move(args));
    }
}

ExprPtr Parser::parseUnary() {
    const Token t = peek();
    if (t.isSymbol(u"-") || t.isSymbol(u"+")) {
        next();
        enter(t);
        std::vector<ExprPtr> args;
        args.push_back(parseUnary());
        leave();
        return makeNode(Expr::Unary, t.pos, t.text, std::move(args));
    }
    return parsePrimary();
}

ExprPtr Parser::parsePrimary() {
    const Token t = peek();
    switch (t.kind) {
    case Token::Number:
        next();
        return makeNode(Expr::Number, t.pos, t.text, {});
    case Token::String:
        next();
        return makeNode(Expr::String, t.pos, t.text, {});
    case Token::Date:
        next();
        return makeNode(Expr::Date, t.pos, t.text, {});
    case Token::Parameter:
        next();
        return makeNode(Expr::Parameter, t.pos, QString::number(++m_parameters), {});
    case Token::Variable:
        if (t.text.compare(u"identity", Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("Variabile sconosciuta: @@%1").arg(t.text), t);
        next();
        return makeNode(Expr::Identity, t.pos, QString(), {});
    case Token::Symbol:
        if (t.text == u"(") {
            next();
            enter(t);
            ExprPtr e;
            if (peek().isWord(u"select")) {
                e = makeNode(Expr::Subquery, t.pos, QString(), {});
                e->subquery = parseSelect();
            } else {
                e = parseOr();
                e->parenthesized = true;
            }
            expectSymbol(u")");
            leave();
            return e;
        }
        unexpected(t);
    case Token::Ident:
        if (t.isWord(u"null")) {
            next();
            return makeNode(Expr::Null, t.pos, QString(), {});
        }
        if (t.isWord(u"true") || t.isWord(u"false")) {
            next();
            return makeNode(Expr::Bool, t.pos,
                            t.isWord(u"true") ? QStringLiteral("1") : QStringLiteral("0"), {});
        }
        if (t.isWord(u"exists")) {
            next();
            const Token open = expectSymbol(u"(");
            enter(open);
            ExprPtr e = makeNode(Expr::Exists, t.pos, QString(), {});
            e->subquery = parseSelect();
            expectSymbol(u")");
            leave();
            return e;
        }
        // left( and right( are functions where a value is expected.
        if (isReserved(t) && !((t.isWord(u"left") || t.isWord(u"right")) && peek(1).isSymbol(u"(")))
            unexpected(t);
        return parseColumnOrFunction();
    case Token::QuotedIdent:
        return parseColumnOrFunction();
    case Token::End:
        unexpected(t);
    }
    unexpected(t);
}

ExprPtr Parser::parseColumnOrFunction() {
    const Token name = next();
    if (name.kind == Token::Ident && peek().isSymbol(u"(")) {
        const Token open = next();
        enter(open);
        std::vector<ExprPtr> args;
        bool star = false;
        bool distinct = false;
        if (acceptSymbol(u"*")) {
            star = true;
        } else if (!peek().isSymbol(u")")) {
            distinct = acceptWord(u"distinct");
            do {
                args.push_back(parseExpr());
            } while (acceptSymbol(u","));
        }
        expectSymbol(u")");
        leave();
        ExprPtr e = makeNode(Expr::Function, name.pos, name.text.toLower(), std::move(args));
        e->star = star;
        e->distinct = distinct;
        return e;
    }
    ExprPtr e = makeNode(Expr::Column, name.pos, name.text, {});
    if (peek().isSymbol(u".")) {
        next();
        const Token col = peek();
        if (col.kind != Token::Ident && col.kind != Token::QuotedIdent)
            fail(QStringLiteral("Atteso il nome di una colonna"), col);
        next();
        e->qualifier = name.text;
        e->text = col.text;
    }
    return e;
}

} // namespace db::sql
