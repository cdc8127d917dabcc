// The glyph cache's test switch. The internals build the tests link
// compiles it with LEDVIEW_TEST_SWITCHES, so that a test can turn the cache
// off; the shipped library compiles it without, and always uses the cache.
#include "content/glyphcache.h"

namespace ledview {

#ifdef LEDVIEW_TEST_SWITCHES

bool glyphcacheoff = false;

bool GlyphCacheBypassed() { return glyphcacheoff; }

#else

bool GlyphCacheBypassed() { return false; }

#endif

}  // namespace ledview
