#pragma once

#include <cstdint>
#include <optional>

#include "core/Random.h"
#include "core/Text.h"
#include "generate/SecureDraw.h"

namespace velmor {

// How the account names or the passwords of one run are made.
struct StringRule {
    enum class Length { Fixed, Range, Content };
    Length length = Length::Range;
    int fixedLength = 0;
    int shortest = 0;  // the range's bounds as typed: negative counts as 0, either order
    int longest = 0;
    bool letterFirst = false;
    Text content;  // every string under Content
};

struct AccountsRequest {
    StringRule accounts;
    StringRule passwords;
    int count = 0;
};

// Where the random numbers and characters of a run come from.
class AccountDraws {
public:
    virtual ~AccountDraws() = default;
    // Called once before the first draw.
    virtual void Start() = 0;
    // count characters of the kind of RandomCharacters, appended to out.
    virtual void AppendCharacters(std::int64_t count, int kind, Text& out) = 0;
    // A length in the range, by RandomBetween's rules for its bounds.
    virtual int LengthBetween(int a, int b) = 0;
    // The longest length LengthBetween(a, b) can give.
    virtual int LongestBetween(int a, int b) const = 0;
};

// The reproducible draws: RandomGenerator, reseeded by every RandomCharacters.
class GeneratorDraws : public AccountDraws {
public:
    explicit GeneratorDraws(RandomGenerator& random) : m_random(random) {}
    void Start() override;
    void AppendCharacters(std::int64_t count, int kind, Text& out) override;
    int LengthBetween(int a, int b) override;
    int LongestBetween(int a, int b) const override;

private:
    RandomGenerator& m_random;
};

// Draws from the system's cryptographic source, uniform over each set and range.
class SecureDraws : public AccountDraws {
public:
    explicit SecureDraws(const SecureRandomSource& source) : m_draw(source) {}
    void Start() override {}
    void AppendCharacters(std::int64_t count, int kind, Text& out) override;
    int LengthBetween(int a, int b) override;
    int LongestBetween(int a, int b) const override;

private:
    SecureDraw m_draw;
};

// GenerateAccounts: count lines of account + "————" + password + CR LF, all accounts drawn
// before all passwords; nothing when the longest text the rules allow would pass
// kGeneratedTextLimit (then nothing is drawn either).
std::optional<Text> GenerateAccounts(const AccountsRequest& request, AccountDraws& draws);

}  // namespace velmor
