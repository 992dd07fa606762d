// Importing a Jet file, timed: nwind.mdb (Jet 3, nine tables) read through the engine layer into
// a copy, against libmdb alone reading and decoding every row of it, the floor of any import
// through libmdb. Prints the best of five runs of each and their ratio.
#include "platform/database/jet_import.h"

#include <mdbtools.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kJet = std::string(LOBIX_SOURCE_DIR) + "/tests/data/jet/nwind.mdb";

template <typename Prepare, typename Work> double Best(Prepare prepare, Work work)
{
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        prepare();
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// Reads every row of every table with each value decoded to text, as mdb-export does.
long ReadEveryRow()
{
    MdbHandle* mdb = mdb_open(kJet.c_str(), MDB_NOFLAGS);
    long rows = 0;
    GPtrArray* catalog = mdb_read_catalog(mdb, MDB_TABLE);
    for (unsigned i = 0; i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (!mdb_is_user_table(entry))
            continue;
        MdbTableDef* table = mdb_read_table(entry);
        mdb_read_columns(table);
        std::vector<std::vector<char>> values(table->num_cols, std::vector<char>(MDB_BIND_SIZE));
        for (unsigned c = 0; c < table->num_cols; ++c)
            mdb_bind_column(table, int(c) + 1, values[c].data(), nullptr);
        mdb_rewind_table(table);
        while (mdb_fetch_row(table))
            ++rows;
        mdb_free_tabledef(table);
    }
    mdb_close(mdb);
    return rows;
}

}

int main()
{
    double import = Best([] {}, [] { platform::ImportJetDatabase(kJet); });
    long rows = 0;
    double floor = Best([] {}, [&] { rows = ReadEveryRow(); });
    std::printf("Jet import of nwind.mdb (%ld rows, %.1f MB), best of 5: %.3f s\n", rows,
        double(fs::file_size(kJet)) / 1e6, import);
    std::printf("libmdb alone reading every row:            %.3f s (import %.1f times that)\n",
        floor, import / floor);
}
