#include "presetdb/extension_driver.h"

void presetdb::WorkOnMDB()
{
}
