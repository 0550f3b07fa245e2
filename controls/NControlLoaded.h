#ifndef NEK_NCONTROLLOADED_H
#define NEK_NCONTROLLOADED_H

#include "NControlPredefined.h"

// NControlLoaded: a control of a common-controls class, whose classes are
// loaded (InitCommonControlsEx) before it is created.
class NControlLoaded : public NControlPredefined {
public:
    NControlLoaded();
    const char* getName() const override;
    const char* getClassName() const override;
    ~NControlLoaded() override;
    void onPreCreateWindow() override;

    unsigned int commonControlClasses;
};

#endif
