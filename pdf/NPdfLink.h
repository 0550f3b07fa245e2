#ifndef NEK_NPDFLINK_H
#define NEK_NPDFLINK_H

#include "NString.h"

// NPdfLink: the target of a link on a PDF page, either an external URI or an
// internal target made by NPdfDocument::addLink. A default link is unset.
class NPdfLink {
public:
    NPdfLink() : internalId(0) {}
    NPdfLink(const NString& uri) : uri(uri), internalId(0) {}
    NPdfLink(const char* uri) : uri(uri), internalId(0) {}
    NPdfLink(int internalId) : internalId(internalId) {}
    virtual const char* getName() const;
    virtual const char* getClassName() const;
    virtual ~NPdfLink() {}

    bool isSet() const { return internalId > 0 || !uri.isEmpty(); }
    bool isInternal() const { return internalId > 0; }
    const NString& getUri() const { return uri; }
    int getInternalId() const { return internalId; }

private:
    NString uri;
    int internalId;
};

#endif
