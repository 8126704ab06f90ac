/* QORKernel32: the host kernel's C interface over the open design.
 *
 * One instance per process: the design, the named records, the string store and the drawing state
 * (current context, colour, style) are shared by every caller, so an engine draws into the context
 * that a front end opened.
 *
 * Conventions
 * - Handles, numbers and indices are 32-bit integers; 0 means none or failure unless noted.
 * - Coordinates are database units of 10 nm (100000 per millimetre), Y up; angles are thousandths
 *   of a degree.
 * - Texts returned by the kernel belong to it; copy them at once (they stay valid until the design
 *   changes or the same call is made again).
 * - A read call that fails has not filled its record. Records are packed on 4 bytes.
 * - No call throws; with no design open every design call fails harmlessly.
 *
 * Numbers and handles
 * - Maps: DB_LayCompMap, DB_NetMap, DB_TraceMap, DB_FileMap, DB_HierarchyMap, DB_LayerMap and
 *   N_NodeMap(net) return map handles. A walk starts with cursor = OM_GetFirst(map);
 *   OM_SearchMask(map, &cursor, mask, value) returns the next object number whose mask word
 *   satisfies (object mask AND mask) = value, and 0 at the end.
 * - Walks and OM_FindName return plain numbers: component indices, net indices, trace indices,
 *   node numbers, record handles. Node numbers are unique across the whole design, so N_ReadNode
 *   needs no net. The board outline (trace -1) is read by number and is not part of trace walks.
 * - Object handles (from DB_DataBase, OM_Object, L_Component, D_Device, N_Net) carry their kind and
 *   are what O_GetName takes.
 * - OM_FindName matches exactly first, then without regard to case (nets, components, layers,
 *   hierarchy); record names of the file map match exactly.
 * - OM_MaskAll(map, value, mask) sets the bits of mask in every object to those of value, so
 *   OM_MaskAll(DB_NetMap(), 0, 80) clears bits 80 on all nets.
 */
#ifndef QOR_KERNEL_KERNEL_H
#define QOR_KERNEL_KERNEL_H

#include <stdint.h>

#include "qor/platform/export.h"

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 4)

/* A frame: left, bottom, right, top. */
typedef struct KRect {
    int32_t left;
    int32_t bottom;
    int32_t right;
    int32_t top;
} KRect;

/* Trace header (T_ReadTrace). */
enum { K_TRACE_NO_DATUM = 0x100 };
typedef struct KTraceRecord {
    int32_t flags;       /* +0  K_TRACE_NO_DATUM on an outline without datum marks */
    int32_t net;         /* +4  net index (0 for the outline) */
    int32_t recordCount; /* +8  number of records */
    int32_t mask;        /* +12 */
    int32_t number;      /* +16 trace index */
} KTraceRecord;

/* Trace record (T_ReadRecord), 28 bytes. Flags: bits 0xE kind (2 node, 4 bend point, 8 via),
 * 0x10 arc-centre record, 0x20 arc direction (clockwise). An arc-centre record sits between the
 * two end points of its arc and holds the centre as an offset from the arc's start point (the
 * previous record) and the radius (0 = straight segment); its x, y give the point of the arc
 * halfway between its ends, so a walk over the record points follows the arc. */
typedef struct KTracePoint {
    int32_t flags; /* +0 */
    union {
        int32_t node;     /* +4 node number (point records) */
        int32_t centreDx; /* +4 centre x offset (arc-centre records) */
    };
    union {
        int32_t layer;    /* +8 layer 0..31 */
        int32_t centreDy; /* +8 centre y offset (arc-centre records) */
    };
    union {
        int32_t width;  /* +12 width of the segment that starts here */
        int32_t radius; /* +12 radius (arc-centre records) */
    };
    int32_t reserved; /* +16 */
    int32_t x;        /* +20 */
    int32_t y;        /* +24 */
} KTracePoint;

/* Component (L_ReadComponent). Flags: 1 locked, 2 mirrored (solder side). */
typedef struct KComponentRecord {
    int32_t flags;     /* +0 */
    int32_t angle;     /* +4 */
    int32_t x;         /* +8 */
    int32_t y;         /* +12 */
    int32_t number;    /* +16 component index */
    int32_t symbol;    /* +20 symbol (package) number */
    int32_t device;    /* +24 device number, 0 = none */
    int32_t mask;      /* +28 */
    int32_t hierarchy; /* +32 */
    const char* name;  /* +36 reference, e.g. "U1" */
} KComponentRecord;

/* Device (D_ReadDevice). */
typedef struct KDeviceRecord {
    int32_t number;      /* +0 */
    const char* name;    /* +4 part name */
    const char* package; /* +12 package name */
} KDeviceRecord;

/* Symbol (S_ReadSymbol). */
typedef struct KSymbolRecord {
    int32_t number;        /* +0 */
    int32_t padCount;      /* +4 */
    int32_t itemCount;     /* +8 */
    int32_t padStackCount; /* +12 */
    int32_t mask;          /* +16 */
    const char* name;      /* +20 */
} KSymbolRecord;

/* Pin entry of a symbol (S_ReadSymbolEntry), relative to the symbol's origin. */
typedef struct KEntryRecord {
    int32_t pin;      /* +0 pin number */
    int32_t x;        /* +4 */
    int32_t y;        /* +8 */
    int32_t padStack; /* +12 pad stack number */
} KEntryRecord;

/* Item of an item array (I_ReadItem): line (kind 1), box (3) or text (6). */
typedef struct KItemRecord {
    int32_t kind;       /* +0 */
    int32_t flags;      /* +4 */
    int32_t mask;       /* +8 */
    int32_t link;       /* +12 */
    int32_t layer;      /* +16 */
    int32_t x;          /* +20 start point (text position) */
    int32_t y;          /* +24 */
    int32_t dx;         /* +28 offset to the end point (box: width) */
    int32_t dy;         /* +32 (box: height) */
    int32_t width;      /* +36 line width */
    int32_t gap;        /* +40 */
    int32_t angle;      /* +44 */
    int32_t textSize;   /* +48 */
    int32_t attributes; /* +52 */
    const char* text;   /* +56 text of a text item ("" otherwise) */
} KItemRecord;

/* Node (N_ReadNode), 28 bytes: the kernel writes exactly this much. */
typedef struct KNodeRecord {
    int32_t flags;     /* +0 */
    int32_t net;       /* +4 */
    int32_t mask;      /* +8 */
    int32_t component; /* +12 component index */
    int32_t pin;       /* +16 pin number */
    int32_t x;         /* +20 */
    int32_t y;         /* +24 */
} KNodeRecord;

/* View of a drawing context (G_OpenDC): zoom in units per pixel, size in pixels, the design point
 * at the centre of the area, draw flags (1 mirror, 8 monochrome, 0x20 not true size). */
typedef struct KViewRecord {
    int32_t zoom;      /* +0 */
    int32_t width;     /* +4 */
    int32_t height;    /* +8 */
    int32_t originX;   /* +12 */
    int32_t originY;   /* +16 design Y of the centre */
    int32_t drawFlags; /* +20 */
} KViewRecord;

/* Print set-up (E_PrintScaleSetupDialog). The caller fills the page; the kernel fills the tiling:
 * page columns and rows, the design distance between neighbouring pages' origins, and the view of
 * the top-left page (its origin moves by stepX per column and by -stepY per row). */
typedef struct KPrintSetup {
    int32_t pageWidth;   /* +0  in: printable page size in device pixels */
    int32_t pageHeight;  /* +4 */
    int32_t dotsPerInch; /* +8  in: the printer's resolution */
    int32_t scale;       /* +12 in/out: thousandths of true size (1000 = 1:1); 0 = fit on one page */
    int32_t columns;     /* +16 out */
    int32_t rows;        /* +20 out */
    int32_t stepX;       /* +24 out: design units */
    int32_t stepY;       /* +28 out */
    KViewRecord view;    /* +32 out: the top-left page */
} KPrintSetup;

#pragma pack(pop)

/* ---- Our own: design files ------------------------------------------------------------------ */

/* Opens a design file (.qdb) as the open design: 1, or 0 with DB_LastError(). A design must not
 * already be open. A missing, truncated, foreign or newer file is refused and left untouched. */
QOR_API int32_t DB_OpenDesign(const char* path);
/* Creates a new empty design file and opens it: 1 or 0. */
QOR_API int32_t DB_CreateDesign(const char* path, const char* name);
/* Writes the open design's model to its file (named records are written as they change): 1 or 0. */
QOR_API int32_t DB_SaveDesign(void);
/* Closes the open design without saving its model; 1 when one was open. */
QOR_API int32_t DB_CloseDesign(void);
/* The message of the last failed design-file call ("" when none). */
QOR_API const char* DB_LastError(void);

/* ---- DB_: maps and arrays of the open design ----------------------------------------------- */

QOR_API int32_t DB_DataBase(void); /* the design object, 0 = no design open */
QOR_API int32_t DB_CurHier(void);
QOR_API int32_t DB_HierarchyMap(void);
QOR_API int32_t DB_LayCompMap(void);
QOR_API int32_t DB_NetMap(void);
QOR_API int32_t DB_TraceMap(void);
QOR_API int32_t DB_FileMap(void);
QOR_API int32_t DB_LayerMap(void); /* layers 0..31 as objects 1..32 */
/* The item array of the design's layout texts (texts, lines and boxes placed on the board). */
QOR_API int32_t DB_LayoutTextArray(void);
/* The active layer (0..31) of the design: the lowest copper layer (2..29) that carries something,
 * 2 when none does; 0 with no design open. */
QOR_API int32_t DB_ActiveLayer(void);

/* ---- OM_, O_: object maps and names ---------------------------------------------------------- */

QOR_API int32_t OM_GetFirst(int32_t map);
QOR_API int32_t OM_SearchMask(int32_t map, int32_t* cursor, int32_t mask, int32_t value);
QOR_API int32_t OM_FindName(int32_t map, const char* name);
QOR_API int32_t OM_Object(int32_t map, int32_t number);
QOR_API int32_t OM_Delete(int32_t map, int32_t object);
QOR_API int32_t OM_MaskAll(int32_t map, int32_t value, int32_t mask);
QOR_API int32_t OM_GetCount(int32_t map);
QOR_API const char* O_GetName(int32_t object);

/* ---- L_, D_, S_: components, devices, symbols ------------------------------------------------- */

/* Exactly 1 on success. */
QOR_API int32_t L_ReadComponent(int32_t index, KComponentRecord* component);
QOR_API int32_t L_Component(int32_t index);
/* The frame of the component's pads; 0 when it has none. */
QOR_API int32_t L_FrameCompEntries(int32_t index, KRect* frame);
/* The frame of the component's outline graphics; 0 when it has none. */
QOR_API int32_t L_FrameCompItems(int32_t index, KRect* frame);
/* The component under a design point within aperture units: a pad that the point touches (its
 * pad square widened by the aperture) wins, else the smallest component whose frame (outline and
 * pads, widened by the aperture) holds the point. The component index, 0 = none; *pad receives
 * the pad's pin number, 0 when no pad was touched (pad may be null). */
QOR_API int32_t L_CoverComponent(int32_t x, int32_t y, int32_t aperture, int32_t* pad);
QOR_API int32_t D_ReadDevice(int32_t device, KDeviceRecord* record);
QOR_API int32_t D_Device(int32_t index);
QOR_API int32_t S_ReadSymbol(int32_t symbol, KSymbolRecord* record);
/* The frame of a symbol's pin entries, relative to its origin; 0 when it has none. */
QOR_API int32_t S_FrameSymbolEntries(int32_t symbol, KRect* frame);
/* Creates an auxiliary symbol (negative number) of the given name with no items: its number, or 0
 * when the number or the name is taken or no design is open. */
QOR_API int32_t S_CreateSymbol(int32_t symbol, const char* name);
/* The number of the symbol of that name (exact match), 0 = none. */
QOR_API int32_t S_FindSymbol(const char* name);
/* Sets the bits of mask in a symbol's mask word to those of value: 1 or 0. */
QOR_API int32_t S_MaskSymbol(int32_t symbol, int32_t value, int32_t mask);
/* Our own: the pin entry at position 1 ... padCount (S_ReadSymbol) of a symbol; 1 or 0. */
QOR_API int32_t S_ReadSymbolEntry(int32_t symbol, int32_t position, KEntryRecord* entry);

/* ---- OA_, I_: item arrays and items ------------------------------------------------------------ */

/* Item arrays so far are those of symbols. The item array of a symbol (its graphics, naming texts,
 * copper-area outlines); 0 = no symbol. */
QOR_API int32_t S_SymbolItemArray(int32_t symbol);
/* The next position >= from (positions start at 1) whose item has any bit of mask; 0 = none. */
QOR_API int32_t OA_SearchMask(int32_t array, int32_t from, int32_t mask);
/* The number of items of an array; 0 for an unknown array. */
QOR_API int32_t OA_GetCount(int32_t array);
/* Reads the item at a position of an array; 1 or 0. */
QOR_API int32_t I_ReadItem(int32_t array, int32_t position, KItemRecord* item);
/* Removes the item at a position (the items after it move up by one): 1 or 0. */
QOR_API int32_t OA_Delete(int32_t array, int32_t position);
/* The frame of one item in design units (a text's box from its position, size and length): 1 or 0. */
QOR_API int32_t I_FrameItem(int32_t array, int32_t position, KRect* frame);

/* ---- N_: nets and nodes ---------------------------------------------------------------------- */

QOR_API int32_t N_Net(int32_t net);
QOR_API int32_t N_NodeMap(int32_t net);
QOR_API int32_t N_ReadNode(int32_t node, KNodeRecord* record);

/* ---- T_: traces and trace records ------------------------------------------------------------ */

QOR_API int32_t T_ReadTrace(int32_t trace, KTraceRecord* record);
/* Record index from 1; 0 past the last record. */
QOR_API int32_t T_ReadRecord(int32_t trace, int32_t index, KTracePoint* record);
/* The next trace of net, 0 at the end; the cursor comes from OM_GetFirst(DB_TraceMap()). */
QOR_API int32_t T_SearchNet(int32_t* cursor, int32_t net);
/* Trace -1: the frame of the board outline; another trace: the frame of its points on the layers
 * of layerMask (bit n = layer n). 0 when there is nothing to frame. */
QOR_API int32_t T_FrameTraceLines(int32_t trace, int32_t layerMask, KRect* frame);

/* ---- F_: named records of the design file ---------------------------------------------------- */

/* Handles are the objects of DB_FileMap(); OM_FindName(DB_FileMap(), name) gives one too. Each
 * write is atomic; the position starts at 0 and only Seek, Read and Write move it. */
QOR_API int32_t F_CreateFile(int32_t mode, const char* name); /* 0 when the name exists */
QOR_API int32_t F_Seek(int32_t handle, int32_t offset, int32_t origin); /* origin 0 start, 1 here, 2 end */
QOR_API int32_t F_GetLength(int32_t handle); /* -1 for an unknown handle */
QOR_API int32_t F_SetLength(int32_t handle, int32_t length); /* 1 or 0 */
QOR_API int32_t F_Read(int32_t handle, void* buffer, int32_t size);        /* bytes moved */
QOR_API int32_t F_Write(int32_t handle, const void* buffer, int32_t size); /* size, or 0 */

/* ---- E_: string store and value text --------------------------------------------------------- */

/* The text of key, or a null pointer when the key is absent. */
QOR_API const char* E_GetString(const char* key);
/* Sets key to text; a null or empty text removes the key. */
QOR_API int32_t E_SetString(const char* key, const char* text);
/* Writes value in engineering notation: up to |digits| significant digits, an SI prefix no
 * smaller than the one of lowestPrefix (-1 milli, -2 micro as 0xB5, -3 nano, -4 pico, -5 femto),
 * then unit with no space ("4.7k", "10MHz", "1.5nF"). flags is reserved (0). Returns the length
 * written into buffer (at most 254 characters and a terminating zero). */
QOR_API int32_t E_FormatFloatValue(char* buffer, double value, const char* unit, int32_t digits,
                                   int8_t lowestPrefix, int32_t flags);
/* Reads a number with an optional SI prefix and unit: "5", "10M", "1.5n", "4.7kOhm", "2.2uF",
 * "1e-3". Prefixes other than m/M (milli/mega) read without regard to case; 0 for no number. */
QOR_API double E_GetFloatValue(const char* text);

/* System table n (0..31) of the host: 32 words owned by the kernel, read and written in place;
 * a null pointer for another n. Tables used:
 *   2  layer codes: the characters of the table's bytes, layer n's code at byte n;
 *   5  grid steps (units): word 0 the index of the initial one, words 1-6 inch steps, 8-13 mm;
 *   6  snap steps, the same layout;
 *   7  angle snap (thousandths of a degree) in word 0;
 *   11 layer visibility: words 0 and 1 hold 16 bits each, layer n at bit n % 16 of word n / 16;
 *      every drawing call of design objects honours it;
 *   12 the context-help switch (word 0, non-zero = on);
 *   17 the host's busy word (word 0);
 *   21 zooms (units per pixel): word 0 the index of the current one, words 1-15 inch, 17-31 mm.
 * Opening a design fills 2, 5, 6, 7, 11 and 21; the others start at 0. */
QOR_API int32_t* E_SysTable(int32_t table);

/* Copies bytes between a caller's buffer and a system table (either side may be a table; the two
 * may overlap): the number of bytes copied, 0 for a null side or a count below 1. */
QOR_API int32_t E_MemCopy(void* destination, const void* source, int32_t bytes);
/* The print scale and page set-up: shows the host's print-scale dialog (qor/kernel/print.h) for
 * the design area left, bottom, right, top, with zoom at most maxZoom units per pixel, and fills
 * setup. 0 when cancelled, else 1. Without a dialog installed, the area is fitted on one page.
 * Zoom for scale s: 2540000 units per inch / dotsPerInch / (s / 1000); for s = 0 the larger of
 * area width / page width and area height / page height, rounded up; at most maxZoom (no limit
 * when maxZoom <= 0). Also 0 for a null setup, an empty area, a page size below 1, a negative
 * scale, a scale without dotsPerInch, or a tiling beyond 32 bits. */
QOR_API int32_t E_PrintScaleSetupDialog(int32_t printerSurface, int32_t left, int32_t bottom,
                                        int32_t right, int32_t top, int32_t maxZoom,
                                        KPrintSetup* setup, int32_t owner);

/* ---- H_: context help ----------------------------------------------------------------------- */

/* Shows topic of a help file for an owner window (0 = none) through the help display the host
 * installed (qor/kernel/help.h); topic 0 shows the contents. 1 when a display took it, else 0. */
QOR_API int32_t H_DispTopic(int32_t owner, const char* helpFile, int32_t topic);

/* ---- G_: drawing on the current context ------------------------------------------------------ */

/* Draw flags: 1 mirror, 8 monochrome, 0x20 not true size, 0x80 pad frames; 0xC together (bits 4
 * and 8) is the exclusive-or mode of highlights and overlays, which a second drawing undoes.
 * The kernel's drawing of design objects takes them from the open context's view record and the
 * draw mode together: monochrome draws the kernel's colours as 0 (holes 15, for a white
 * background) when the view has bit 8, or the mode has bit 8 without bit 4; pad frames draw pads
 * hollow; without true size traces and item lines are hairlines. */
enum { K_DRAW_XOR = 0xC };
/* The current draw flags; they stay until set again, across contexts. */
QOR_API int32_t G_SetDrawMode(int32_t drawFlags);
QOR_API int32_t G_GetDrawMode(void);

/* Colours are palette indexes: 0..15 the standard colours (0 black ... 15 white), 16..231 a colour
 * cube, 232..255 a grey ramp; 223 is the layout background (a dark slate) instead of its cube colour. */
QOR_API int32_t G_OpenDC(int32_t surface, const KViewRecord* view);
QOR_API int32_t G_CloseDC(void);
/* The surface of the open context, 0 when none is open. The context is one for the whole process:
 * a window that finds another surface's context open draws later. */
QOR_API int32_t G_ContextSurface(void);
QOR_API int32_t G_SetColor(int32_t colour);
/* Style: 0 rectangles hollow; any other value fills rectangles; lines are solid. */
QOR_API int32_t G_SetStyle(int32_t style);
/* Lower-left corner, positive width and height; angle turns the rectangle about its centre. */
QOR_API int32_t G_Rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle);
QOR_API int32_t G_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
QOR_API int32_t G_Circle(int32_t x, int32_t y, int32_t radius);
/* Pen width of G_Line in pixels (1 = hairline); 0 for pixels below 1. It stays across contexts. */
QOR_API int32_t G_SetWidth(int32_t pixels);
/* A filled triangle of the current colour with its tip at x, y, size units long, pointing
 * 0 right, 1 up, 2 left, 3 down. */
QOR_API int32_t G_Triangle(int32_t x, int32_t y, int32_t size, int32_t direction);
/* A text at x, y (lower-left corner) of the given height, turned by angle, in the current colour.
 * The kernel's texts are 0.6 of their height wide per character (I_FrameItem). */
QOR_API int32_t G_Text(int32_t x, int32_t y, int32_t height, int32_t angle, const char* text);
/* Converts a pixel of the open context (or of the last one) to design units: 1, or 0 when no
 * context was ever opened. */
QOR_API int32_t G_DPtoLP(int32_t px, int32_t py, int32_t* x, int32_t* y);
/* Draws the grid of step units over the pixel rectangle (left, top as bottom, right, bottom as top
 * of the KRect) in exclusive-or mode, when on is non-zero; returns the step really used, a multiple
 * of step at least 4 pixels wide: step times 1, 2, 5, 10, 20, 50 ... The grid is a dot of colour 15
 * at every multiple of the step, so a second drawing erases it. Without any context opened yet
 * the step comes back unchanged; 0 for a step below 1. */
QOR_API int32_t G_DrawGrid(const KRect* pixels, int32_t step, int32_t on);
/* Thick pens: the number of distinct pen widths above one pixel used since they were last freed,
 * and freeing them (arguments 0, 0). */
QOR_API int32_t G_ThickPenCount(void);
QOR_API int32_t G_FreeThickPen(int32_t first, int32_t count);
/* The kernel's background colour (a palette index) and pick aperture (pixels). */
QOR_API int32_t G_BackgroundColor(void);
QOR_API int32_t G_PickAperture(void);
/* The cached view picture: a copy of the open (or last) context's surface picture as a handle,
 * shown again with G_DispView and freed with G_DeleteObject; 0 when the surface keeps no picture. */
QOR_API int32_t G_CopyView(void);
QOR_API int32_t G_DispView(int32_t view);
QOR_API int32_t G_DeleteObject(int32_t view);
/* Puts the pixel rectangle (right and bottom exclusive) of a surface's picture on the clipboard as
 * a bitmap: 1 or 0 (an empty rectangle, or a surface without picture or clipboard). */
QOR_API int32_t G_CopyScreen(int32_t surface, int32_t left, int32_t top, int32_t right, int32_t bottom);

/* Draws the records of one trace (-1 the outline, drawn only while layer 0 is visible) in the
 * current colour. */
QOR_API int32_t T_DrawAllRecords(int32_t trace, int32_t mode);
/* Draws count segments of a trace, each from record first, first + 1, ... to the next point record
 * (an arc through its arc-centre record), in its layer's colour. */
QOR_API int32_t T_DrawRecords(int32_t trace, int32_t first, int32_t count);
/* Draws a marker at every node of a net in the current colour; mode is reserved (-1). */
QOR_API int32_t N_DrawNetNodes(int32_t net, int32_t mode);
/* Draws every copper trace segment on a visible layer in its layer's colour. */
QOR_API int32_t T_DrawAllTraceMask(int32_t mask, int32_t mode);
/* Draws every node whose pad lies on a visible layer (a drilled pad on any) as a ring in the
 * current colour (mode 1; in the current draw mode, so exclusive-or draws erase them again). */
QOR_API int32_t N_DrawAllNodes(int32_t mode);
/* Draws the ratsnest of one net: the shortest links joining its nodes, in the current colour. */
QOR_API int32_t N_DrawNetRatsnest(int32_t net);
/* Draws the layout texts: mode 1 all of them on the visible layers, 4 or 8 those whose mask word
 * carries that bit (the analyzers' temporary labels), in the current colour. */
QOR_API int32_t T_DrawLayoutAllTexts(int32_t mode);
/* Draws the outline and pads of every component whose side (layer 2, or 29 when mirrored) is
 * visible. */
QOR_API int32_t L_DrawAllComponents(int32_t mode);
/* Draws every via joining a visible layer (a via no trace meets joins all of them). */
QOR_API int32_t V_DrawAllVias(int32_t mode);
/* Draws the items of an auxiliary symbol (negative number: copper areas, notes, dimensions) in
 * their layers' colours; x, y are -1. */
QOR_API int32_t S_DrawSymbol(int32_t symbol, int32_t x, int32_t y);

/* ---- Our own: drawing surfaces --------------------------------------------------------------- */

/* A raster surface of width x height pixels, cleared to colour 0: a surface number, 0 on failure. */
QOR_API int32_t G_CreateRasterSurface(int32_t width, int32_t height);
/* A surface that records every drawing call as a line of text. */
QOR_API int32_t G_CreateRecordingSurface(void);
/* Saves a raster surface as PNG: 1 or 0. */
QOR_API int32_t G_SaveSurfacePng(int32_t surface, const char* path);
/* The calls recorded so far, one per line ("" for other surfaces). */
QOR_API const char* G_SurfaceRecording(int32_t surface);
QOR_API int32_t G_DeleteSurface(int32_t surface);
/* The RGB value (0xRRGGBB) of a palette index. */
QOR_API int32_t G_PaletteRgb(int32_t colour);

#ifdef __cplusplus
} /* extern "C" */

#include <cstddef>
static_assert(sizeof(KRect) == 16);
static_assert(offsetof(KRect, bottom) == 4 && offsetof(KRect, right) == 8 && offsetof(KRect, top) == 12);
static_assert(sizeof(KTraceRecord) == 20);
static_assert(offsetof(KTraceRecord, net) == 4 && offsetof(KTraceRecord, recordCount) == 8 &&
              offsetof(KTraceRecord, mask) == 12 && offsetof(KTraceRecord, number) == 16);
static_assert(sizeof(KTracePoint) == 28);
static_assert(offsetof(KTracePoint, node) == 4 && offsetof(KTracePoint, centreDx) == 4 &&
              offsetof(KTracePoint, layer) == 8 && offsetof(KTracePoint, centreDy) == 8 &&
              offsetof(KTracePoint, width) == 12 && offsetof(KTracePoint, radius) == 12 &&
              offsetof(KTracePoint, reserved) == 16 && offsetof(KTracePoint, x) == 20 &&
              offsetof(KTracePoint, y) == 24);
static_assert(offsetof(KComponentRecord, angle) == 4 && offsetof(KComponentRecord, x) == 8 &&
              offsetof(KComponentRecord, y) == 12 && offsetof(KComponentRecord, number) == 16 &&
              offsetof(KComponentRecord, symbol) == 20 && offsetof(KComponentRecord, device) == 24 &&
              offsetof(KComponentRecord, mask) == 28 && offsetof(KComponentRecord, hierarchy) == 32 &&
              offsetof(KComponentRecord, name) == 36);
static_assert(sizeof(KComponentRecord) == 36 + sizeof(void*));
static_assert(offsetof(KDeviceRecord, name) == 4 && offsetof(KDeviceRecord, package) == 4 + sizeof(void*));
static_assert(sizeof(KDeviceRecord) == 4 + 2 * sizeof(void*));
static_assert(offsetof(KSymbolRecord, padCount) == 4 && offsetof(KSymbolRecord, itemCount) == 8 &&
              offsetof(KSymbolRecord, padStackCount) == 12 && offsetof(KSymbolRecord, mask) == 16 &&
              offsetof(KSymbolRecord, name) == 20);
static_assert(sizeof(KEntryRecord) == 16);
static_assert(offsetof(KEntryRecord, x) == 4 && offsetof(KEntryRecord, y) == 8 &&
              offsetof(KEntryRecord, padStack) == 12);
static_assert(offsetof(KItemRecord, mask) == 8 && offsetof(KItemRecord, link) == 12 &&
              offsetof(KItemRecord, x) == 20 && offsetof(KItemRecord, attributes) == 52 &&
              offsetof(KItemRecord, text) == 56);
static_assert(sizeof(KNodeRecord) == 28);
static_assert(offsetof(KNodeRecord, net) == 4 && offsetof(KNodeRecord, mask) == 8 &&
              offsetof(KNodeRecord, component) == 12 && offsetof(KNodeRecord, pin) == 16 &&
              offsetof(KNodeRecord, x) == 20 && offsetof(KNodeRecord, y) == 24);
static_assert(sizeof(KViewRecord) == 24);
static_assert(sizeof(KPrintSetup) == 56);
static_assert(offsetof(KPrintSetup, pageHeight) == 4 && offsetof(KPrintSetup, dotsPerInch) == 8 &&
              offsetof(KPrintSetup, scale) == 12 && offsetof(KPrintSetup, columns) == 16 &&
              offsetof(KPrintSetup, rows) == 20 && offsetof(KPrintSetup, stepX) == 24 &&
              offsetof(KPrintSetup, stepY) == 28 && offsetof(KPrintSetup, view) == 32);
static_assert(offsetof(KViewRecord, width) == 4 && offsetof(KViewRecord, height) == 8 &&
              offsetof(KViewRecord, originX) == 12 && offsetof(KViewRecord, originY) == 16 &&
              offsetof(KViewRecord, drawFlags) == 20);
#endif

#endif /* QOR_KERNEL_KERNEL_H */
