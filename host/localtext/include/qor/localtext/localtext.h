/* QORLOCAL32: localized message texts by number.
 *
 * A catalog is a text file of one message per line, "number=text"; blank lines and lines starting
 * with '#' are skipped, "\n" in a text stands for a line break. Each language has its own file. */
#ifndef QOR_LOCALTEXT_LOCALTEXT_H
#define QOR_LOCALTEXT_LOCALTEXT_H

#include <stdint.h>

#include "qor/platform/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The localized text of number, or a null pointer when the catalog has none. Before any catalog
 * is loaded, the file named by the environment variable QOR_MESSAGES is loaded when set. */
QOR_API const char* L32_Object_GetMessage(int32_t number);

/* Our own: replaces the current catalog by the file at path. Returns the number of messages read,
 * or -1 when the file cannot be read (the current catalog then stays). */
QOR_API int32_t L32_LoadCatalog(const char* path);

#ifdef __cplusplus
}
#endif

#endif
