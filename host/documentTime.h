// The exact time of a document: a rational number of seconds, so that frame
// times such as 1/30 s add up without rounding.
#ifndef CAELO_HOST_DOCUMENT_TIME_H
#define CAELO_HOST_DOCUMENT_TIME_H

#include <cstdint>
#include <optional>

namespace caelo::host {

// A time as a rational number of seconds.
struct DocumentTime {
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;

    [[nodiscard]] double seconds() const;
    // The exact value of a finite double as a fraction with a power-of-two
    // denominator (precision beyond 2^-62 s is rounded away). Throws HostError
    // for a value that is not finite or does not fit.
    [[nodiscard]] static DocumentTime fromSeconds(double seconds);
    // numerator / denominator in lowest terms with a positive denominator, or
    // nothing for a zero denominator or a part of -2^63, whose negation does
    // not fit 64 bits. Example: reduced(2, -4) == DocumentTime{-1, 2}.
    [[nodiscard]] static std::optional<DocumentTime> reduced(std::int64_t numerator,
                                                             std::int64_t denominator);
    // The exact sum in lowest terms, or nothing where a part is refused by
    // `reduced` or the sum over the common denominator does not fit 64 bits.
    [[nodiscard]] static std::optional<DocumentTime> sum(DocumentTime a, DocumentTime b);

    friend bool operator==(const DocumentTime&, const DocumentTime&) = default;
};

} // namespace caelo::host

#endif
