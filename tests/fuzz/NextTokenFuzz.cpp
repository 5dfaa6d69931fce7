// NextToken on any text with the separators the programs pass, or any others: it trims the rest,
// cuts at the first separator, leaves the token alone when nothing is left, and always advances.
#include <fuzzer/FuzzedDataProvider.h>

#include "common/NextToken.h"
#include "tests/fuzz/FuzzSupport.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    static const char* const kProgramSeparators[] = {",", "\n\r", "/", "-"};
    const std::size_t pick = input.ConsumeIntegralInRange<std::size_t>(0, 4);
    const std::string separators = pick < 4 ? std::string(kProgramSeparators[pick]) : input.ConsumeRandomLengthString(4);
    std::string rest = input.ConsumeRemainingBytesAsString();

    std::string token = "(untouched)";
    for (;;) {
        const std::string trimmed = fuzz::TrimBlanks(rest);
        const std::string previousToken = token;
        const std::size_t sizeBefore = rest.size();
        if (!NextToken(token, rest, separators)) {
            Require(trimmed.empty(), "false only when nothing but white space is left");
            Require(token == previousToken, "the token is left unchanged at the end");
            Require(rest.empty(), "the rest is empty at the end");
            break;
        }
        Require(!trimmed.empty(), "true only when something is left");
        const std::size_t at = trimmed.find_first_of(separators);
        if (at == std::string::npos) {
            Require(token == trimmed && rest.empty(), "without a separator the token is the whole trimmed rest");
        } else {
            Require(token == trimmed.substr(0, at), "the token is what stands before the first separator");
            Require(rest == trimmed.substr(at + 1), "the rest is what follows the separator");
        }
        Require(rest.size() < sizeBefore, "every call shortens the rest");
    }
    return 0;
}
