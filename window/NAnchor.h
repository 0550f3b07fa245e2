#ifndef NEK_NANCHOR_H
#define NEK_NANCHOR_H

#include "NRect.h"
#include "NSize.h"

// NAnchor: keeps a control at its distance from the parent's right or
// bottom edge, or stretches it between both edges, when the parent is
// resized. Which edges it follows is decided from where the control sits
// when it is created: within the outer fifth of the parent's width or
// height it follows that edge.
class NAnchor {
public:
    enum {
        automatic = 0x1,
        referenceTaken = 0x2,
        nearTop = 0x1000,
        nearLeft = 0x2000,
        nearRight = 0x4000,
        nearBottom = 0x8000,
        edgeFlags = nearTop | nearLeft | nearRight | nearBottom
    };

    NAnchor();
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NAnchor();

    // Sets the edge flags from the two rectangles (only with `automatic`).
    void classify(const NRect& parentRect, const NRect& controlRect);
    // Only when no reference is taken yet.
    void takeReference(const NRect& controlRect, const NSize& parentSize);
    // Moves or stretches `rect` for the parent's new size; true when the
    // control follows an edge. The first call only takes the reference.
    bool apply(NRect& rect, const NSize& parentSize);

    unsigned int flags;
    float xFactor;
    float yFactor;
    float widthFactor;
    float heightFactor;
    NRect referenceRect;
    NSize referenceParentSize;
};

#endif
