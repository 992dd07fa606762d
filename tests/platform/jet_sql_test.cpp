// Jet SQL texts as the preset-definition build writes them, and the SQLite text they become.
#include "platform/failure.h"
#include "platform/jet_sql.h"

#include <gtest/gtest.h>

using platform::TranslateJetSql;

namespace {

// Strings in either quote style come out single-quoted and compared without case; names stay.
TEST(JetSqlTranslation, QuotesStringsAndKeepsNames)
{
    struct Case {
        const char* jet;
        const char* sqlite;
    };
    const Case cases[] = {
        { R"(SELECT * From T WHERE a="x")", R"(SELECT * From T WHERE a='x' COLLATE NOCASE)" },
        { R"(a="part")", R"(a='part' COLLATE NOCASE)" },
        { R"(a="say ""hi""")", R"(a='say "hi"' COLLATE NOCASE)" },
        { R"(a="O'Brien")", R"(a='O''Brien' COLLATE NOCASE)" },
        { R"(a='O''Brien')", R"(a='O''Brien' COLLATE NOCASE)" },
        { R"(a='say "hi"')", R"(a='say "hi"' COLLATE NOCASE)" },
        { R"([my "col"]="a;b")", R"([my "col"]='a;b' COLLATE NOCASE)" },
        { R"(a="")", R"(a='' COLLATE NOCASE)" },
        { "SELECT 1;", "SELECT 1" },
        { "SELECT 1; \r\n", "SELECT 1" },
        { "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID",
            "SELECT Source_PRESET_DEFS.* From Source_PRESET_DEFS ORDER BY Source_PRESET_DEFS.ID" },
        { R"(SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)="M1_Speed")))",
            "SELECT PRESET_DEFS.* From PRESET_DEFS WHERE (((PRESET_DEFS.Var_Name)="
            "'M1_Speed' COLLATE NOCASE))" },
        { "SELECT PRESET_DEFS.ID, PRESET_DEFS.machine_type, PRESET_DEFS.type,"
          " PRESET_DEFS.var_name, PRESET_DEFS.category_id, PRESET_DEFS.isBitArray,"
          " PRESET_DEFS.offset_or_bitno, PRESET_DEFS.text, PRESET_DEFS.page_name,"
          " PRESET_DEFS.abs_min, PRESET_DEFS.abs_max, PRESET_DEFS.min, PRESET_DEFS.max,"
          " PRESET_DEFS.pass, PRESET_DEFS.part From PRESET_DEFS "
          R"( WHERE (((PRESET_DEFS.machine_type)="M1") AND ((PRESET_DEFS.var_name)="part") )"
          " AND ((PRESET_DEFS.offset_or_bitno)=3));",
            "SELECT PRESET_DEFS.ID, PRESET_DEFS.machine_type, PRESET_DEFS.type,"
            " PRESET_DEFS.var_name, PRESET_DEFS.category_id, PRESET_DEFS.isBitArray,"
            " PRESET_DEFS.offset_or_bitno, PRESET_DEFS.text, PRESET_DEFS.page_name,"
            " PRESET_DEFS.abs_min, PRESET_DEFS.abs_max, PRESET_DEFS.min, PRESET_DEFS.max,"
            " PRESET_DEFS.pass, PRESET_DEFS.part From PRESET_DEFS "
            " WHERE (((PRESET_DEFS.machine_type)='M1' COLLATE NOCASE)"
            " AND ((PRESET_DEFS.var_name)='part' COLLATE NOCASE) "
            " AND ((PRESET_DEFS.offset_or_bitno)=3))" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslateJetSql(c.jet), c.sqlite) << c.jet;
}

// A text that cannot be read whole is refused rather than cut short.
TEST(JetSqlTranslation, RefusesUnclosedQuotesAndSecondStatements)
{
    struct Case {
        const char* jet;
        long number;
    };
    const Case cases[] = {
        { R"(a="open)", 3075 },
        { "a='open", 3075 },
        { R"(a="x"")", 3075 },
        { "[open = 1", 3075 },
        { "SELECT 1; DROP TABLE T", 3142 },
        { "SELECT 1;;", 3142 },
    };
    for (const Case& c : cases) {
        try {
            TranslateJetSql(c.jet);
            ADD_FAILURE() << "accepted: " << c.jet;
        } catch (const platform::Failure& failure) {
            EXPECT_EQ(failure.number, c.number) << c.jet;
            EXPECT_EQ(failure.source, "DAO.Database");
        }
    }
}

}
