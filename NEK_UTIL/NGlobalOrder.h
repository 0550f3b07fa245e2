#ifndef NEK_NGLOBALORDER_H
#define NEK_NGLOBALORDER_H

// The library's global objects live in different translation units; their
// construction order is fixed here so that each one finds those it uses
// already built (and destroyed after it). Lower numbers are built first.
#define NEK_ORDER_ERROR        1001
#define NEK_ORDER_LANGUAGE     1002
#define NEK_ORDER_DEBUG        1003
#define NEK_ORDER_APPBASIC     1004
#define NEK_ORDER_RESOURCES    1005
#define NEK_ORDER_COLORMAP     1006
#define NEK_ORDER_APPLICATION  1007

#define NEK_INIT_ORDER(n) __attribute__((init_priority(n)))

#endif
