// The sources the database layer's failures are raised from, as the objects of the original
// engine name them; its own header, so that every part of the layer raises under them without
// including the whole layer.
#pragma once

namespace platform {

inline constexpr const char* kDatabaseSource = "DAO.Database";
inline constexpr const char* kTableDefSource = "DAO.TableDef";
inline constexpr const char* kFieldSource = "DAO.Field";
inline constexpr const char* kRecordsetSource = "DAO.Recordset";

}
