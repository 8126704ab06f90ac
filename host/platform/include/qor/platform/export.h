// The one export macro: every library builds with hidden visibility and exports on purpose.
#pragma once

#define QOR_API __attribute__((visibility("default")))
