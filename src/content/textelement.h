// Text elements: stored pictures (elemtype 1), strings laid out by the engine
// (elemtype 2) and paged pictures (elemtype 7).
//
// In a normal area an element enters with its entry effect, stays, leaves
// with its exit effect and hands its component back; each effect step waits
// on a tick timer aimed at the element's own flags. In a static area a
// picture or string is drawn once and again every second, without effects,
// and never hands back.
#pragma once
#include <cstdint>

#include "display/drawtypes.h"
#include "effects/element.h"

namespace ledview {

// Renderers (see ElementRenderer): a null rect resets the element.
int32_t RenderBitmapText(ElementNode* element, DestRect* rect);
int32_t RenderStringText(ElementNode* element, DestRect* rect);
int32_t RenderPagedBitmap(ElementNode* element, DestRect* rect);
int32_t RenderStaticBitmap(ElementNode* element, DestRect* rect);
int32_t RenderStaticString(ElementNode* element, DestRect* rect);

}  // namespace ledview
