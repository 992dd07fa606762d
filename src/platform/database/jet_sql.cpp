#include "platform/database/jet_sql.h"

#include "platform/system/failure.h"
#include "platform/system/text.h"

#include <cctype>
#include <charconv>

namespace platform {

static constexpr const char* kSource = "DAO.Database";
static constexpr size_t kNone = std::string::npos;

static bool IsNameChar(char ch)
{
    auto byte = static_cast<unsigned char>(ch);
    return std::isalnum(byte) || ch == '_' || byte >= 0x80;
}

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

static bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

static bool IsWord(const std::string& word, const char* upper)
{
    size_t i = 0;
    for (; i < word.size() && upper[i]; ++i)
        if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i])
            return false;
    return i == word.size() && !upper[i];
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
    Raise(3075, kSource,
        "Syntax error in string in query expression: no closing " + std::string(1, quote) + " in "
            + text);
}

// Reads a number that starts at `start` (digits, a fraction, an exponent) into `value`; returns
// the position after it, or kNone when the text there is no number SQLite would read the same.
static size_t ReadNumber(const std::string& text, size_t start, Value& value)
{
    size_t at = start;
    auto digits = [&] {
        size_t from = at;
        while (at < text.size() && IsDigit(text[at]))
            ++at;
        return at > from;
    };
    digits();
    bool whole = true;
    if (at < text.size() && text[at] == '.') {
        ++at;
        digits();
        whole = false;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (!digits())
            return kNone;
        whole = false;
    }
    if (at < text.size() && (IsNameChar(text[at]) || text[at] == '.'))
        return kNone;
    const char* first = text.data() + start;
    const char* last = text.data() + at;
    long long number = 0;
    double real = 0;
    auto read = whole ? std::from_chars(first, last, number) : std::from_chars(first, last, real);
    if (read.ec != std::errc() || read.ptr != last)
        return kNone;
    value = whole ? Value(number) : Value(real);
    return at;
}

static size_t SkipBlanksBack(const std::string& sql, size_t end)
{
    while (end > 0 && std::isspace(static_cast<unsigned char>(sql[end - 1])))
        --end;
    return end;
}

// Reads backwards from `end` a name, [bracketed] or a run of name characters not led by a
// digit; returns where it starts, or kNone.
static size_t NameBefore(const std::string& sql, size_t end, std::string& name)
{
    if (end > 0 && sql[end - 1] == ']') {
        size_t open = sql.rfind('[', end - 1);
        if (open == kNone)
            return kNone;
        name = sql.substr(open + 1, end - 2 - open);
        return open;
    }
    size_t start = end;
    while (start > 0 && IsNameChar(sql[start - 1]))
        --start;
    if (start == end || IsDigit(sql[start]))
        return kNone;
    name = sql.substr(start, end - start);
    return start;
}

// The column compared with a literal that would follow `sql`: true when `sql` ends in "name =",
// "table.name =" or either in parentheses, the name is no collation's, and the "=" is not part
// of "<=", ">=", "!=" or "==".
static bool ColumnBeforeEquals(const std::string& sql, Lookup& lookup)
{
    size_t at = SkipBlanksBack(sql, sql.size());
    if (at < 2 || sql[at - 1] != '=' || std::string("<>!=").find(sql[at - 2]) != kNone)
        return false;
    at = SkipBlanksBack(sql, at - 1);
    bool parenthesized = at > 0 && sql[at - 1] == ')';
    if (parenthesized)
        at = SkipBlanksBack(sql, at - 1);
    at = NameBefore(sql, at, lookup.column);
    std::string before;
    if (at == kNone
        || (NameBefore(sql, SkipBlanksBack(sql, at), before) != kNone && IsWord(before, "COLLATE")))
        return false;
    lookup.table.clear();
    if (at > 0 && sql[at - 1] == '.' && (at = NameBefore(sql, at - 1, lookup.table)) == kNone)
        return false;
    if (parenthesized) {
        at = SkipBlanksBack(sql, at);
        return at > 0 && sql[at - 1] == '(';
    }
    return true;
}

static void AppendLiteral(std::string& sql, const std::string& value)
{
    sql += '\'';
    for (char ch : value) {
        if (ch == '\'')
            sql += '\'';
        sql += ch;
    }
    sql += '\'';
}

// Puts a literal into the text: as the next parameter when it is the value of a look-up,
// otherwise as written (a number) or quoted (a text).
static void AppendValue(
    TranslatedSql& translated, bool inWhere, const Value& value, const std::string& written)
{
    auto* text = std::get_if<std::string>(&value);
    Lookup lookup;
    if (inWhere && ColumnBeforeEquals(translated.sql, lookup)) {
        lookup.value = value;
        translated.lookups.push_back(std::move(lookup));
        translated.sql.append("?").append(std::to_string(translated.lookups.size()));
    } else if (text) {
        AppendLiteral(translated.sql, *text);
    } else {
        translated.sql += written;
    }
    if (text)
        translated.sql.append(" COLLATE ").append(kJetTextCollation);
}

TranslatedSql TranslateJetSql(const std::string& jetSql)
{
    TranslatedSql translated;
    std::string& sql = translated.sql;
    sql.reserve(jetSql.size() + 64);
    int depth = 0;
    bool inWhere = false; // past the WHERE of the outermost statement
    size_t at = 0;
    while (at < jetSql.size()) {
        char ch = jetSql[at];
        if (ch == '"' || ch == '\'') {
            std::string value;
            at = ReadLiteral(jetSql, at, value);
            AppendValue(translated, inWhere, value, {});
        } else if (ch == '[') {
            size_t close = jetSql.find(']', at);
            if (close == kNone)
                Raise(3075, kSource, "Syntax error in query expression: no closing ] in " + jetSql);
            sql.append(jetSql, at, close + 1 - at);
            at = close + 1;
        } else if (ch == ';') {
            if (jetSql.find_first_not_of(" \t\r\n", at + 1) != kNone)
                Raise(3142, kSource, "Characters found after end of SQL statement: " + jetSql);
            break;
        } else if (IsNameChar(ch)) {
            size_t end = at;
            while (end < jetSql.size() && IsNameChar(jetSql[end]))
                ++end;
            Value number;
            size_t numberEnd = IsDigit(ch) && (sql.empty() || !IsNameChar(sql.back()))
                ? ReadNumber(jetSql, at, number)
                : kNone;
            if (numberEnd != kNone) {
                AppendValue(translated, inWhere, number, jetSql.substr(at, numberEnd - at));
                at = numberEnd;
                continue;
            }
            std::string word = jetSql.substr(at, end - at);
            inWhere = inWhere || (depth == 0 && IsWord(word, "WHERE"));
            sql += word;
            at = end;
        } else {
            depth += ch == '(' ? 1 : ch == ')' ? -1 : 0;
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
