#include "platform/database/jet_sql.h"

#include "platform/database/failure_sources.h"
#include "platform/system/failure.h"
#include "platform/system/text.h"

namespace platform {

static constexpr size_t kNone = std::string::npos;

static int CompareJetTexts(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    return CompareIgnoringCase({ static_cast<const char*>(a), static_cast<size_t>(sizeA) },
        { static_cast<const char*>(b), static_cast<size_t>(sizeB) });
}

bool AddJetTextCollation(sqlite3* db)
{
    return sqlite3_create_collation_v2(
               db, kJetTextCollation, SQLITE_UTF8, nullptr, CompareJetTexts, nullptr)
        == SQLITE_OK;
}

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
    Raise(3075, kDatabaseSource,
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
    sql.append("' COLLATE ").append(kJetTextCollation);
}

TranslatedSql TranslateJetSql(const std::string& jetSql)
{
    TranslatedSql translated;
    std::string& sql = translated.sql;
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
            if (close == kNone)
                Raise(3075, kDatabaseSource,
                    "Syntax error in query expression: no closing ] in " + jetSql);
            sql.append(jetSql, at, close + 1 - at);
            at = close + 1;
        } else if (ch == ';') {
            if (jetSql.find_first_not_of(" \t\r\n", at + 1) != kNone)
                Raise(3142, kDatabaseSource,
                    "Characters found after end of SQL statement: " + jetSql);
            break;
        } else if (ch == '?') {
            sql.append("?").append(std::to_string(++translated.parameters));
            sql.append(" COLLATE ").append(kJetTextCollation);
            ++at;
        } else {
            sql += ch;
            ++at;
            // Jet has no comments: "--" is a minus sign twice and "/*" a division followed by a
            // product, so SQLite must not read the rest of the text as a comment.
            char next = at < jetSql.size() ? jetSql[at] : '\0';
            if ((ch == '-' && next == '-') || (ch == '/' && next == '*'))
                sql += ' ';
        }
    }
    return translated;
}

}
