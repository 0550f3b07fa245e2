#include "NMapNumToNum.h"

NMapNumToNum::NMapNumToNum() = default;
NMapNumToNum::NMapNumToNum(const NMapNumToNum& other) = default;
NMapNumToNum& NMapNumToNum::operator=(const NMapNumToNum& other) = default;

const char* NMapNumToNum::getName() const { return getClassName(); }
const char* NMapNumToNum::getClassName() const { return "NMapNumToNum"; }

NMapNumToNum::~NMapNumToNum() = default;
