#include "NMapNumToString.h"

NMapNumToString::NMapNumToString() = default;
NMapNumToString::NMapNumToString(const NMapNumToString& other) = default;
NMapNumToString& NMapNumToString::operator=(const NMapNumToString& other) = default;

const char* NMapNumToString::getName() const { return getClassName(); }
const char* NMapNumToString::getClassName() const { return "NMapNumToString"; }

NMapNumToString::~NMapNumToString() = default;
