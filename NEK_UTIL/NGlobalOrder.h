#ifndef NEK_NGLOBALORDER_H
#define NEK_NGLOBALORDER_H

// The library's global objects live in different translation units; their
// construction order is fixed here so that each one finds those it uses
// already built (and destroyed after it). Lower numbers are built first;
// the gaps leave room for a program's own objects between them.
#define NEK_ORDER_ERROR        1010
#define NEK_ORDER_LANGUAGE     1020
#define NEK_ORDER_DEBUG        1030
#define NEK_ORDER_APPBASIC     1040
#define NEK_ORDER_RESOURCES    1050
#define NEK_ORDER_COLORMAP     1060
#define NEK_ORDER_APPLICATION  1070

#define NEK_INIT_ORDER(n) __attribute__((init_priority(n)))

#endif
