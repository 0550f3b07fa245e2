#include "NMapStringToNum.h"

NMapStringToNum::NMapStringToNum() = default;
NMapStringToNum::NMapStringToNum(const NMapStringToNum& other) = default;
NMapStringToNum& NMapStringToNum::operator=(const NMapStringToNum& other) = default;

const char* NMapStringToNum::getName() const { return getClassName(); }
const char* NMapStringToNum::getClassName() const { return "NMapStringToNum"; }

NMapStringToNum::~NMapStringToNum() = default;

int NMapStringToNum::compareWith(int index, const NString& key) const
{
    return compareKey(index, key);
}
