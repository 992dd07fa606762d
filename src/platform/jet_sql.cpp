#include "platform/jet_sql.h"

#include "platform/failure.h"

namespace platform {

static constexpr const char* kSource = "DAO.Database";

// Reads the literal that opens at `start` (either quote, the delimiter doubled inside stands for
// itself) and returns the position after its closing quote.
static size_t ReadLiteral(const std::string& text, size_t start, std::string& value)
{
    char quote = text[start];
    for (size_t at = start + 1; at < text.size(); ++at) {
        if (text[at] != quote) {
            value += text[at];
        } else if (at + 1 < text.size() && text[at + 1] == quote) {
            value += quote;
            ++at;
        } else {
            return at + 1;
        }
    }
    Raise(3075, kSource,
        "Syntax error in string in query expression: no closing " + std::string(1, quote) + " in "
            + text);
}

static void AppendLiteral(std::string& sql, const std::string& value)
{
    sql += '\'';
    for (char ch : value) {
        if (ch == '\'')
            sql += '\'';
        sql += ch;
    }
    sql += "' COLLATE NOCASE";
}

std::string TranslateJetSql(const std::string& jetSql)
{
    std::string sql;
    sql.reserve(jetSql.size() + 64);
    size_t at = 0;
    while (at < jetSql.size()) {
        char ch = jetSql[at];
        if (ch == '"' || ch == '\'') {
            std::string value;
            at = ReadLiteral(jetSql, at, value);
            AppendLiteral(sql, value);
        } else if (ch == '[') {
            size_t close = jetSql.find(']', at);
            if (close == std::string::npos)
                Raise(3075, kSource, "Syntax error in query expression: no closing ] in " + jetSql);
            sql.append(jetSql, at, close + 1 - at);
            at = close + 1;
        } else if (ch == ';') {
            if (jetSql.find_first_not_of(" \t\r\n", at + 1) != std::string::npos)
                Raise(3142, kSource, "Characters found after end of SQL statement: " + jetSql);
            break;
        } else {
            sql += ch;
            ++at;
        }
    }
    return sql;
}

}
