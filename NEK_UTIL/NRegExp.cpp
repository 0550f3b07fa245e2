#include "NRegExp.h"

#include <windows.h>

#include <pcre2.h>

#include <string>

#include "NError.h"
#include "NNumList.h"
#include "NStringList.h"

namespace {

// Bounds for one search, so that a pattern that backtracks without end
// stops with an error instead of hanging the program: the classic default
// number of match steps and a heap cap for the backtracking frames.
const uint32_t MATCH_LIMIT = 10000000;
const uint32_t HEAP_LIMIT_KIB = 128 * 1024;

const char* const NO_EXPRESSION_TAIL =
    "() wurde ohne regul\xE4ren Ausdruck aufgerufen und es lag keiner vor.";

// The one place where the classic option bits meet the engine's values.
uint32_t compileOptionsFor(int options)
{
    uint32_t result = 0;
    if (options & NRegExp::OPT_CASELESS) result |= PCRE2_CASELESS;
    if (options & NRegExp::OPT_MULTILINE) result |= PCRE2_MULTILINE;
    if (options & NRegExp::OPT_DOTALL) result |= PCRE2_DOTALL;
    if (options & NRegExp::OPT_EXTENDED) result |= PCRE2_EXTENDED;
    if (options & NRegExp::OPT_ANCHORED) result |= PCRE2_ANCHORED;
    if (options & NRegExp::OPT_DOLLAR_ENDONLY) result |= PCRE2_DOLLAR_ENDONLY;
    // OPT_EXTRA (unknown escapes are errors) is how the engine always works.
    if (options & NRegExp::OPT_UNGREEDY) result |= PCRE2_UNGREEDY;
    if (options & NRegExp::OPT_UTF8) result |= PCRE2_UTF;
    if (options & NRegExp::OPT_NO_AUTO_CAPTURE) result |= PCRE2_NO_AUTO_CAPTURE;
    if (options & NRegExp::OPT_NO_UTF8_CHECK) result |= PCRE2_NO_UTF_CHECK;
    return result;
}

uint32_t matchOptionsFor(int options)
{
    uint32_t result = 0;
    if (options & NRegExp::OPT_ANCHORED) result |= PCRE2_ANCHORED;
    if (options & NRegExp::OPT_NOTBOL) result |= PCRE2_NOTBOL;
    if (options & NRegExp::OPT_NOTEOL) result |= PCRE2_NOTEOL;
    if (options & NRegExp::OPT_NOTEMPTY) result |= PCRE2_NOTEMPTY;
    if (options & NRegExp::OPT_NO_UTF8_CHECK) result |= PCRE2_NO_UTF_CHECK;
    if (options & NRegExp::OPT_NOTEMPTY_ATSTART) result |= PCRE2_NOTEMPTY_ATSTART;
    return result;
}

// Search results are reported with the classic error codes.
int classicErrorCode(int code)
{
    if (code >= PCRE2_ERROR_UTF8_ERR21 && code <= PCRE2_ERROR_UTF8_ERR1)
        return -10;  // bad UTF-8
    switch (code) {
    case PCRE2_ERROR_NOMATCH: return -1;
    case PCRE2_ERROR_PARTIAL: return -12;
    case PCRE2_ERROR_NULL: return -2;
    case PCRE2_ERROR_BADOPTION: return -3;
    case PCRE2_ERROR_BADMAGIC: return -4;
    case PCRE2_ERROR_NOMEMORY: return -6;
    case PCRE2_ERROR_MATCHLIMIT: return -8;
    case PCRE2_ERROR_BADUTFOFFSET: return -11;
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT: return -21;  // recursion limit
    case PCRE2_ERROR_BADOFFSET: return -24;
    case PCRE2_ERROR_RECURSELOOP: return -26;
    case PCRE2_ERROR_BADMODE: return -28;
    default: return -14;  // internal error
    }
}

int toOffset(PCRE2_SIZE value)
{
    return value == PCRE2_UNSET ? -1 : static_cast<int>(value);
}

}  // namespace

NRegExp::NRegExp()
    : matched(false), compiled(nullptr), resultCount(-1), groupCount(0), captureCount(0),
      utf(false)
{
    for (int& offset : offsets)
        offset = -1;
    matchData = pcre2_match_data_create(MAX_PAIRS, nullptr);
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    if (context) {
        pcre2_set_match_limit(context, MATCH_LIMIT);
        pcre2_set_heap_limit(context, HEAP_LIMIT_KIB);
    }
    matchContext = context;
}

NRegExp::~NRegExp()
{
    release();
    pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData));
    pcre2_match_context_free(static_cast<pcre2_match_context*>(matchContext));
}

const char* NRegExp::getName() const { return getClassName(); }
const char* NRegExp::getClassName() const { return "NRegExp"; }

void NRegExp::release()
{
    pcre2_code_free(static_cast<pcre2_code*>(compiled));
    compiled = nullptr;
    captureCount = 0;
    utf = false;
}

void NRegExp::showError(const NString& text)
{
    globalError.messageBox(text, 0, "Fehler !", MB_ICONERROR);
}

bool NRegExp::compile(const NString& expression)
{
    // A failed compile leaves no pattern behind: later searches must not
    // quietly use the previous one.
    release();

    // Pattern between the first character and its last occurrence, modifiers
    // behind that; with the delimiter only once, the pattern is empty and the
    // rest are modifiers.
    const int last = expression.isEmpty() ? 0 : expression.findLastChar(expression.getAt(0));
    const NString pattern = last > 1 ? expression.mid(1, last - 1) : NString();
    const NString modifiers = expression.mid(last > 0 ? last + 1 : 1);

    int options = 0;
    for (int i = 0; i < modifiers.getLength(); ++i) {
        switch (modifiers.getAt(i)) {
        case 'A': options |= OPT_ANCHORED; break;
        case 'D': options |= OPT_DOLLAR_ENDONLY; break;
        case 'U': options |= OPT_UNGREEDY; break;
        case 'X': options |= OPT_EXTRA; break;
        case 'u': options |= OPT_UTF8; break;
        case 'i': options |= OPT_CASELESS; break;
        case 'm': options |= OPT_MULTILINE; break;
        case 's': options |= OPT_DOTALL; break;
        case 'x': options |= OPT_EXTENDED; break;
        default: break;
        }
    }

    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.getBuffer()),
                                     static_cast<PCRE2_SIZE>(pattern.getLength()),
                                     compileOptionsFor(options), &errorCode, &errorOffset,
                                     nullptr);
    if (!code) {
        PCRE2_UCHAR message[256];
        if (pcre2_get_error_message(errorCode, message, sizeof(message)) < 0)
            message[0] = 0;
        NString text("Fehlerhafte Syntax im regul\xE4ren Ausdruck:\r\n");
        text += pattern;
        text += "\r\n Modifier: ";
        text += modifiers;
        text.appendFormat("\r\n an Offset: %d\r\nFehler: ", static_cast<int>(errorOffset));
        text += reinterpret_cast<const char*>(message);
        showError(text);
        return false;
    }
    compiled = code;
    uint32_t count = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &count);
    captureCount = static_cast<int>(count);
    uint32_t all = 0;
    // (*UTF) at the pattern's start switches UTF-8 on as well.
    pcre2_pattern_info(code, PCRE2_INFO_ALLOPTIONS, &all);
    utf = (all & PCRE2_UTF) != 0;
    return true;
}

bool NRegExp::match(const NString& text, int start, int options)
{
    // Without a pattern the engine reports its null-argument error, which is
    // shown like any other failed search.
    if (&text != &subject)
        subject = text;
    return execute(start, options, false);
}

bool NRegExp::execute(int start, int options, bool utfChecked)
{
    matched = false;
    uint32_t flags = matchOptionsFor(options);
    // Trusting unchecked UTF-8 lets the engine read past broken sequences;
    // the first search over a text therefore always checks it.
    if (utf && !utfChecked)
        flags &= ~PCRE2_NO_UTF_CHECK;
    pcre2_match_data* data = static_cast<pcre2_match_data*>(matchData);
    if (!data) {
        resultCount = -6;  // out of memory
        showError("Fehler (-6)bei NString::match()");
        return false;
    }
    // A negative start becomes a huge offset, which the engine rejects.
    const int rc = pcre2_match(static_cast<pcre2_code*>(compiled),
                               reinterpret_cast<PCRE2_SPTR>(subject.getBuffer()),
                               static_cast<PCRE2_SIZE>(subject.getLength()),
                               static_cast<PCRE2_SIZE>(static_cast<ptrdiff_t>(start)), flags, data,
                               static_cast<pcre2_match_context*>(matchContext));
    if (rc < 0) {
        resultCount = classicErrorCode(rc);
        if (resultCount != -1) {
            NString text;
            text.format("Fehler (%d)bei NString::match()", resultCount);
            showError(text);
        }
        return false;
    }
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data);
    const int pairs = rc == 0 ? static_cast<int>(MAX_PAIRS) : rc;
    for (int i = 0; i < 2 * pairs; ++i)
        offsets[i] = toOffset(vector[i]);
    resultCount = pairs;
    groupCount = pairs;
    matched = true;
    if (rc == 0) {
        NString text;
        text.format("Fehler: Zuviel Ergebnisse, es ist nur Platz f\xFCr %d Elemente",
                    static_cast<int>(MAX_PAIRS) - 1);
        showError(text);
    }
    return true;
}

NString NRegExp::getGroup(int i) const
{
    if (i < 0 || i >= groupCount || offsets[2 * i] < 0)
        return NString();
    return subject.mid(offsets[2 * i], offsets[2 * i + 1] - offsets[2 * i]);
}

int NRegExp::findOne(const NString& text)
{
    if (!compiled) {
        showError(NString("Fehler: NRegExp::findOne") + NO_EXPRESSION_TAIL);
        matched = false;
        return -1;
    }
    return match(text, 0, OPT_NO_UTF8_CHECK) ? offsets[0] : -1;
}

int NRegExp::findOne(const NString& expression, const NString& text)
{
    return compile(expression) ? findOne(text) : -1;
}

int NRegExp::findAll(const NString& text, NStringList& results, NNumList* positions)
{
    if (!compiled) {
        showError(NString("Fehler: NRegExp::findAll") + NO_EXPRESSION_TAIL);
        matched = false;
        return 0;
    }
    subject = text;
    const int length = subject.getLength();
    int options = OPT_NO_UTF8_CHECK;
    int start = 0;
    int count = 0;
    while (execute(start, options, count > 0)) {
        ++count;
        for (int i = 0; i < resultCount; ++i) {
            results.add(getGroup(i));
            if (positions)
                positions->add(offsets[2 * i]);
        }
        const int end = offsets[1];
        if (end <= offsets[0]) {
            // After an empty match only a non-empty one right there may
            // follow; this stays so for the rest of the text.
            if (end >= length)
                break;
            options |= OPT_NOTEMPTY | OPT_ANCHORED;
        }
        if (end < start)
            break;
        start = end;
    }
    matched = count > 0;
    return count;
}

int NRegExp::findAll(const NString& expression, const NString& text, NStringList& results,
                     NNumList* positions)
{
    return compile(expression) ? findAll(text, results, positions) : 0;
}

int NRegExp::getGroups(NStringList& results) const
{
    if (!matched)
        return 0;
    for (int i = 0; i < groupCount; ++i)
        results.add(getGroup(i));
    return groupCount;
}

NString NRegExp::fillTemplate(const NString& templ, int number) const
{
    NString result;
    const char* p = templ.getBuffer();
    const char* end = p + templ.getLength();
    while (p < end) {
        const char* open = p;
        while (open + 1 < end && !(open[0] == '{' && open[1] == '{'))
            ++open;
        if (open + 1 >= end) {
            result.append(p, static_cast<int>(end - p));
            break;
        }
        result.append(p, static_cast<int>(open - p));
        const char* name = open + 2;
        const char* close = name;
        while (close < end && close - name < 8 && *close != '}')
            ++close;
        const int nameLength = static_cast<int>(close - name);
        bool filled = false;
        if (close + 1 < end && close[1] == '}' && nameLength > 0) {
            NString key(name, nameLength);
            if (key == "nr") {
                result += NString::fromNumber(number);
                filled = true;
            } else {
                bool digits = true;
                for (int i = 0; i < nameLength; ++i)
                    digits = digits && key.getAt(i) >= '0' && key.getAt(i) <= '9';
                const int group = digits ? key.toInt() : -1;
                // A group of the pattern that took no part is empty; a number
                // beyond the pattern's groups is kept as written.
                if (digits && group <= captureCount) {
                    result += getGroup(group);
                    filled = true;
                }
            }
        }
        if (filled) {
            p = close + 2;
        } else {
            result += '{';
            p = open + 1;
        }
    }
    return result;
}

NString NRegExp::replace(const NString& text, const NString& templ)
{
    if (!compiled) {
        showError(NString("Fehler: NRegExp::replace") + NO_EXPRESSION_TAIL);
        matched = false;
        return text;
    }
    subject = text;
    const int length = subject.getLength();
    const char* bytes = subject.getBuffer();
    // Built outside NString, which grows its block in small steps.
    std::string result;
    int start = 0;   // where the next search begins
    int copied = 0;  // subject up to here is in result
    int number = 0;
    while (start <= length && execute(start, OPT_NO_UTF8_CHECK, number > 0)) {
        ++number;
        const int matchStart = offsets[0] > copied ? offsets[0] : copied;
        const int matchEnd = offsets[1] > matchStart ? offsets[1] : matchStart;
        result.append(bytes + copied, static_cast<size_t>(matchStart - copied));
        const NString filled = fillTemplate(templ, number);
        result.append(filled.getBuffer(), static_cast<size_t>(filled.getLength()));
        copied = matchEnd;
        if (matchEnd > offsets[0] && matchEnd > start) {
            start = matchEnd;
            continue;
        }
        // An empty match would be found again at the same place: step over
        // one character, which the next piece of text then carries along.
        if (matchEnd >= length)
            break;
        int step = 1;
        if (utf)
            while (matchEnd + step < length && (bytes[matchEnd + step] & 0xC0) == 0x80)
                ++step;
        start = matchEnd + step;
    }
    // A search that failed with an error leaves the text as it was rather
    // than half replaced.
    if (resultCount < -1)
        return text;
    matched = number > 0;
    result.append(bytes + copied, static_cast<size_t>(length - copied));
    return NString(result.data(), static_cast<int>(result.size()));
}

NString NRegExp::replace(const NString& expression, const NString& text, const NString& templ)
{
    return compile(expression) ? replace(text, templ) : text;
}
