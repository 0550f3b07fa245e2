#ifndef ONDRA_VERSION_H
#define ONDRA_VERSION_H

// The one place of the programs' version: the version resources, --version
// and the release archive's name (scripts/package.sh reads ONDRA_VERSION_TEXT).
#define ONDRA_VERSION_NUMBERS 1,0,0,0
#define ONDRA_VERSION_TEXT "1.0.0.0"

#endif
