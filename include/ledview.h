/* ledview: display engine that previews programs for LED sign controllers.
 *
 * One engine per process. Every function runs on the caller's thread, returns
 * at once and must be called from the thread that called InitLedConfigure.
 *
 * The calls go in this order; the engine moves through four states:
 *
 *   InitLedConfigure(width, height, mode)          none       -> configured
 *   SetFontPathname("/path/to/font.ttf")           a font file's path, not a font name
 *   SetBmpBuffer(width, height, pitch, buffer)     after both: configured -> ready
 *   SetPlayBill(bytes, length)                     ready      -> playing
 *   loop: NotifyActtion() once per action tick (the host's timer, e.g. 10 ms),
 *         NotifySecond() once per second,
 *         RefreshBuffer() after them, then show the buffer;
 *         UpdateString(id, text, length) whenever a live string changes
 *   EndPreview()                                   playing    -> ready (buffer forgotten:
 *                                                  register one again before SetPlayBill)
 *   ReleasePreview()                               any        -> none
 *
 * SetFontPathname and SetBmpBuffer are refused while playing; SetPlayBill
 * needs the ready state; the tick functions and RefreshBuffer do nothing
 * unless playing. TestPlayBillData runs in any state but checks the areas
 * against the framebuffer InitLedConfigure sets up (the controller's scan
 * memory, larger than the sign: a 64 x 32 sign in mode 4 has 4096 x 128),
 * so call that first; an area off the sign but inside it passes. After
 * EndPreview call SetBmpBuffer before SetPlayBill: SetPlayBill still starts
 * without a buffer, but the picture then goes nowhere, and SetBmpBuffer is
 * refused while playing. The font stays loaded.
 *
 * The engine prints lines to standard output: its scan environment at
 * InitLedConfigure, and the reason a playbill is rejected. A host that uses
 * standard output for itself redirects it around these calls.
 *
 * Return codes:
 *    0  success
 *   -1  bad argument or failure (a size below 1, a null pointer, a playbill
 *       that is valid but cannot be loaded, out of memory)
 *   -2  rejected playbill: TestPlayBillData would not return 0 for it
 *   -3  the font file cannot be opened
 *   -4  the call is not allowed in the engine's current state
 * The window family (LEDPreview_*) uses -2 for a failed bitmap and -3 for a
 * failed playbill; its comments say so.
 */
#ifndef LEDVIEW_H
#define LEDVIEW_H

#include <stdint.h>

/* LEDVIEW_API marks the exported functions. On Windows the DLL's exports
 * come from its .def file (undecorated names); a host imports them, unless
 * it links the engine statically and defines LEDVIEW_STATIC.
 *
 * LEDVIEW_CALL is the calling convention of every function. On 32-bit
 * Windows it is __stdcall, the convention of DLLs that hosts in any
 * language load (C, C++, .NET P/Invoke's default, Delphi, VB), with
 * undecorated names; a DLL built with the option LEDVIEW_X86_CDECL uses
 * __cdecl, and the header in its folder says so here. Elsewhere (64-bit
 * Windows, Linux) there is one convention and the macro is empty. */
#if defined(_WIN32)
#if defined(LEDVIEW_BUILDING) || defined(LEDVIEW_STATIC)
#define LEDVIEW_API
#else
#define LEDVIEW_API __declspec(dllimport)
#endif
#if !defined(_WIN64) && !defined(LEDVIEW_CALL)
#define LEDVIEW_CALL __stdcall
#endif
#elif defined(LEDVIEW_BUILDING)
#define LEDVIEW_API __attribute__((visibility("default")))
#else
#define LEDVIEW_API
#endif
#ifndef LEDVIEW_CALL
#define LEDVIEW_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Sets the sign size in LEDs and the colour mode (1 single colour, 2 red
 * and green, 4 full colour; larger values mean 4). */
LEDVIEW_API int32_t LEDVIEW_CALL InitLedConfigure(int32_t width, int32_t height, int32_t colourmode);

/* Loads the outline font used for text taller than 16 pixels; path is the
 * font file's path (any face FreeType opens; face 0 is used). A font's
 * family name ("DejaVu Sans") is not a path: it gives -3. */
LEDVIEW_API int32_t LEDVIEW_CALL SetFontPathname(const char* path);

/* Registers the output buffer: height rows of pitch bytes, one byte per LED
 * in the first width bytes of each row. A byte is the LED's colour: bit 0
 * red, bit 1 green, bit 2 blue, 0 dark. In colour mode 1 a lit LED is 1; in
 * mode 2 a byte may still carry bit 2 (blue), which a red-and-green sign
 * has no LED for, so a host shows it dark. */
LEDVIEW_API int32_t LEDVIEW_CALL SetBmpBuffer(int32_t width, int32_t height, int32_t pitch,
                                              uint8_t* buffer);

/* Validates a playbill, copies it into the engine and starts playing it. */
LEDVIEW_API int32_t LEDVIEW_CALL SetPlayBill(const uint8_t* data, int32_t length);

/* Validates a playbill without loading it: 0 when valid, -1 when it is not
 * a playbill, else the positive code of the first fault (also printed on
 * standard output). */
LEDVIEW_API int32_t LEDVIEW_CALL TestPlayBillData(const uint8_t* data, int32_t length);

/* Replaces the text of a live string while playing. text is in the engine's
 * character codes: bytes below 0xA1 one character each (ASCII), GB2312
 * characters as two bytes 0xA1..0xFE (EUC-CN), not UTF-8; at most 255
 * bytes are kept. Returns the string's new version: 2 and up for an id
 * the playbill's page uses (it registers version 1), 1 for an id not
 * stored yet (kept, and shown by no element); -1 when not playing, for a
 * null text, a length below 1, a negative id or a full table. The engine
 * empties its live strings at every page change: a string set for a page
 * that is not up is lost, and the page's own text comes back each time the
 * page does. */
LEDVIEW_API int32_t LEDVIEW_CALL UpdateString(int32_t id, const char* text, int32_t length);

/* Brings the picture up to date and copies it into the output buffer. */
LEDVIEW_API void LEDVIEW_CALL RefreshBuffer(void);

/* Report that an action tick or a second has passed. */
LEDVIEW_API void LEDVIEW_CALL NotifyActtion(void);
LEDVIEW_API void LEDVIEW_CALL NotifySecond(void);

/* Stops playback, clears the picture and forgets the output buffer. */
LEDVIEW_API int32_t LEDVIEW_CALL EndPreview(void);

/* Turns the link indicator on (when the configuration allows it) or off. */
LEDVIEW_API void LEDVIEW_CALL ShowLink(void);
LEDVIEW_API void LEDVIEW_CALL HideLink(void);

/* Releases everything; InitLedConfigure may be called again afterwards. */
LEDVIEW_API int32_t LEDVIEW_CALL ReleasePreview(void);

/* Window family: the engine paints into a window instead of a buffer.
 * window is the host's HWND on Windows (painted with GDI), an SDL_Window*
 * of the caller's on Linux (SDL video running). The library keeps the
 * sign's picture itself and, after every tick, paints it stretched into the
 * window's drawing area as it was at initialisation, less 10 pixels on each
 * side. Errors are shown in message boxes; they go to standard error
 * instead where there is no display, and on Windows also when the
 * environment variable LEDVIEW_UNATTENDED is set to 1 (for test runs and
 * services, so that no box waits for a person who is not there). */

/* Configures the engine (colour modes 1..5), loads the font and makes the
 * picture: 0, -1 bad argument, -2 no picture could be made (the engine
 * stays configured), or the engine's code (the font's codes release the
 * engine again). */
LEDVIEW_API int32_t LEDVIEW_CALL LEDPreview_InitLedConfigure(void* window, int32_t width,
                                                             int32_t height, int32_t colourmode,
                                                             const char* fontpath);

/* Starts playing a playbill: 0, -1 no data, -3 refused. On -3 playing
 * stops and the picture is freed: the window shows nothing more until
 * LEDPreview_ReleasePreview and a new LEDPreview_InitLedConfigure. */
LEDVIEW_API int32_t LEDVIEW_CALL LEDPreview_SetPlayBill(const uint8_t* data, int32_t length);

/* Report a tick or a second, then bring the picture up to date and paint
 * it. Nothing before initialisation. */
LEDVIEW_API void LEDVIEW_CALL LEDPreview_NotifyActtion(void);
LEDVIEW_API void LEDVIEW_CALL LEDPreview_NotifySecond(void);

/* EndPreview: the picture is cleared and no longer updated. */
LEDVIEW_API int32_t LEDVIEW_CALL LEDPreview_EndPreview(void);

/* ReleasePreview, and frees the picture and forgets the window. */
LEDVIEW_API int32_t LEDVIEW_CALL LEDPreview_ReleasePreview(void);

#ifdef __cplusplus
}
#endif

#endif /* LEDVIEW_H */
