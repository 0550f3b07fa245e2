#include "NMapStringToNum.h"

NMapStringToNum::NMapStringToNum() = default;
NMapStringToNum::NMapStringToNum(const NMapStringToNum& other) = default;
NMapStringToNum& NMapStringToNum::operator=(const NMapStringToNum& other) = default;

const char* NMapStringToNum::getName() const { return getClassName(); }
const char* NMapStringToNum::getClassName() const { return "NMapStringToNum"; }

NMapStringToNum::~NMapStringToNum() = default;
