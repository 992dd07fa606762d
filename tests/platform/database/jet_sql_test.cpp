// Jet SQL texts as the preset-definition build writes them, and the SQLite text they become.
#include "platform/system/failure.h"
#include "platform/database/jet_sql.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Strings in either quote style come out single-quoted and compared without case; names and
// other numbers stay as written. Values that a WHERE compares a column with by "=" become
// parameters in the order written, so that look-ups of other values read the same text.
TEST(JetSqlTranslation, QuotesStringsAndParametersLookedUpValues)
{
    struct Case {
        const char* jet;
        const char* sqlite;
        std::vector<Lookup> lookups = {};
    };
    const Case cases[] = {
        { R"(a="part")", "a='part' COLLATE JET_NOCASE" },
        { R"(a="O'Brien" OR b="")", "a='O''Brien' COLLATE JET_NOCASE OR b='' COLLATE JET_NOCASE" },
        { R"(a='say "O''Brien"')", R"(a='say "O''Brien"' COLLATE JET_NOCASE)" },
        { R"([my "col"]="a;b")", R"([my "col"]='a;b' COLLATE JET_NOCASE)" },
        { "SELECT 1; \r\n", "SELECT 1" },
        { "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID",
            "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID" },
        { R"(SELECT "a" AS x, (T.a)="b" FROM T WHERE a<="c" AND b>=1.5 AND c=-2 ORDER BY 1)",
            "SELECT 'a' COLLATE JET_NOCASE AS x, (T.a)='b' COLLATE JET_NOCASE FROM T"
            " WHERE a<='c' COLLATE JET_NOCASE AND b>=1.5 AND c=-2 ORDER BY 1" },
        { R"(SELECT * FROM T WHERE "x"="y" AND a=7abc AND b=99999999999999999999)",
            "SELECT * FROM T WHERE 'x' COLLATE JET_NOCASE='y' COLLATE JET_NOCASE AND a=7abc"
            " AND b=99999999999999999999" },
        { R"(SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)="M1_Speed")))",
            "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)=?1 COLLATE "
            "JET_NOCASE))",
            { { "PRESET_DEFS", "Var_Name", "M1_Speed" } } },
        { R"(SELECT ID From T  WHERE (((T.type)="M1") AND ((T.var_name)="part")  AND ((T.no)=3));)",
            "SELECT ID From T  WHERE (((T.type)=?1 COLLATE JET_NOCASE)"
            " AND ((T.var_name)=?2 COLLATE JET_NOCASE)  AND ((T.no)=?3))",
            { { "T", "type", "M1" }, { "T", "var_name", "part" }, { "T", "no", 3LL } } },
        { R"(SELECT * FROM T WHERE [my col] = "say ""hi""" OR [T].[b]='O''Brien' AND c=2.5e1)",
            "SELECT * FROM T WHERE [my col] = ?1 COLLATE JET_NOCASE OR [T].[b]=?2 COLLATE "
            "JET_NOCASE"
            " AND c=?3",
            { { "", "my col", R"(say "hi")" }, { "T", "b", "O'Brien" }, { "", "c", 25.0 } } },
        { R"(SELECT * FROM T WHERE ID=(SELECT max(ID) FROM U WHERE U.a="x"))",
            "SELECT * FROM T WHERE ID=(SELECT max(ID) FROM U WHERE U.a=?1 COLLATE JET_NOCASE)",
            { { "U", "a", "x" } } },
        { "SELECT a--3, 6/*x*/2 FROM T", "SELECT a- -3, 6/ *x*/2 FROM T" },
    };
    for (const Case& c : cases) {
        TranslatedSql translated = TranslateJetSql(c.jet);
        EXPECT_EQ(translated.sql, c.sqlite) << c.jet;
        EXPECT_EQ(translated.lookups, c.lookups) << c.jet;
    }
}

// A text that cannot be read whole is refused rather than cut short.
TEST(JetSqlTranslation, RefusesUnclosedQuotesAndSecondStatements)
{
    const std::pair<const char*, long> cases[]
        = { { R"(a="open)", 3075 }, { "a='open", 3075 }, { R"(a="x"")", 3075 },
              { "[open = 1", 3075 }, { "SELECT 1; DROP TABLE T", 3142 }, { "SELECT 1;;", 3142 } };
    for (const auto& [jet, number] : cases) {
        try {
            TranslateJetSql(jet);
            ADD_FAILURE() << "accepted: " << jet;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number, number) << jet;
            EXPECT_EQ(failure.source, "DAO.Database");
        }
    }
}

}
