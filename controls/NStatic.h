#ifndef NEK_NSTATIC_H
#define NEK_NSTATIC_H

#include "NControlPredefined.h"

// NStatic: a system "STATIC" text whose font and text colour come from the
// resource style named by styleName ("size,colour,font,weight").
class NStatic : public NControlPredefined {
public:
    NStatic();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NStatic() override;
    void setWindowText(const NString& text) override;
    void afterCreate() override;
    void beforeCreate() override;
};

#endif
