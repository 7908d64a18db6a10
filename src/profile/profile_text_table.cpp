#include "profile/profile_text_table.h"

#include <iterator>
#include <stdexcept>
#include <string>

namespace profile {

namespace {

// One line per entry, in line order. The table is only ever read by line number,
// so an entry must never be added, removed or moved: change texts in place.
// Within every block the twelve texts follow the row order of lines 0-11:
// Aquarius, Aries, Cancer, Capricorn, Gemini, Leo, Libra, Pisces, Sagittarius,
// Scorpio, Taurus, Virgo.
constexpr std::string_view kLines[] = {
    // 0-11: sign names, alphabetical; a name's position is its row
    "Aquarius",
    "Aries",
    "Cancer",
    "Capricorn",
    "Gemini",
    "Leo",
    "Libra",
    "Pisces",
    "Sagittarius",
    "Scorpio",
    "Taurus",
    "Virgo",

    // 12-24: female strengths
    "Strengths",
    "Intelligent, unorthodox and inventive",
    "Courageous, energetic and full of enthusiasm",
    "Caring, loyal and deeply protective of her own",
    "Patient, practical and quietly ambitious",
    "Witty, quick-minded and endlessly curious",
    "Generous, warm-hearted and full of confidence",
    "Charming, diplomatic and fair in all things",
    "Gentle, intuitive and deeply compassionate",
    "Optimistic, honest and always adventurous",
    "Determined, perceptive and fiercely loyal",
    "Reliable, patient and devoted to those she loves",
    "Modest, thorough and wonderfully practical",

    // 25-37: female weaknesses
    "Weaknesses",
    "Can seem aloof and stubborn about her ideals",
    "Impatient, headstrong and quick to anger",
    "Moody, oversensitive and slow to forgive",
    "Can be rigid, pessimistic and too reserved",
    "Restless and inconsistent; easily bored",
    "Proud and a little too fond of the spotlight",
    "Indecisive and anxious to please everyone",
    "Dreamy, easily led and prone to escapism",
    "Tactless, careless and promises too much",
    "Jealous, secretive and slow to trust others",
    "Possessive and very set in her ways",
    "Overcritical and a worrier about small things",

    // 38-50: female friendships
    "Friendships",
    "A friend to all, she values her freedom above everything",
    "Her vitality and energy is attractive to many.",
    "A few close friends mean more to her than a crowd",
    "Slow to make friends but true to them for life",
    "Her lively talk wins her friends wherever she goes",
    "Friends are drawn to her warmth and her laughter",
    "A natural peacemaker who keeps every friend she makes",
    "Friends turn to her for a kind and patient ear",
    "Her cheerful honesty makes friends in every place",
    "Those she trusts will find her a friend for ever",
    "A steady friend who is always there when needed",
    "A helpful friend who notices what others miss",

    // 51-63: female love
    "Love",
    "Needs a partner who is also a friend; she will never be tied down nor possessed",
    "Falls in love at first sight and loves with passion",
    "Home and family are the heart of her love life",
    "Love grows slowly but lasts a lifetime",
    "Needs a partner who can keep up with her mind",
    "Loves grandly and expects to be adored in return",
    "Romance and harmony are everything to her",
    "A true romantic who gives her whole heart",
    "Loves freedom as much as she loves her partner",
    "Her love is intense, deep and all or nothing",
    "Sensual and faithful, she loves for keeps",
    "Shows her love through a thousand small kindnesses",

    // 64-76: female health
    "Health",
    "Subject to freak accidents and sudden illnesses.  Take care of ankles and shins",
    "Prone to headaches and fevers.  Slow down and rest",
    "Worry upsets her stomach; a calm home keeps her well",
    "Take care of knees, bones and teeth",
    "Nervous energy tires her.  Mind the lungs and hands",
    "A strong constitution, but look after the heart and back",
    "Balance is all; watch the kidneys and lower back",
    "Sensitive to everything around her.  Take care of the feet",
    "Active and sporty; hips and thighs need care",
    "Strong powers of recovery, but beware of overdoing it",
    "Take care of throat and neck; enjoy good food in moderation",
    "Nerves can upset the digestion; keep to a sensible diet",

    // 77-89: female fortune
    "Fortune",
    "Unexpected changes will bring her good luck",
    "Success comes to her through bold new ventures",
    "Good fortune will come through home and family",
    "Hard work will be rewarded with lasting success",
    "Her quick wits will open many doors",
    "A bright star who will shine in all she does",
    "Partnerships will bring her luck and happiness",
    "Life's mysteries will be revealed to you",
    "Travel and learning will bring her fortune",
    "Life's mysteries will be revealed to you",
    "Patience will bring her comfort and security",
    "Careful planning will bring steady rewards",

    // 90-102: female birthstone
    "Birthstone",
    "Amethyst",
    "Diamond",
    "Pearl",
    "Red Garnet",
    "Agate",
    "Sardonyx",
    "Opal",
    "Aquamarine",
    "Turquoise",
    "Topaz",
    "Emerald",
    "Sapphire",

    // 103-115: female colour
    "Colour",
    "Yellow",
    "Red",
    "Silver",
    "Royal Blue",
    "Light Blue",
    "Gold",
    "Ivory",
    "Pale Green",
    "Blue",
    "Green",
    "Brown",
    "Blue",

    // 116-128: male strengths
    "Strengths A",
    "Original, Independent and Individualistic",
    "Bold, Dynamic and a Natural Leader",
    "Protective, Sympathetic and Shrewd",
    "Responsible, Disciplined and Determined",
    "Versatile, Clever and a Gifted Talker",
    "Proud, Generous and Born to Lead",
    "Fair-minded, Sociable and Easy-going",
    "Imaginative, Kind and Deeply Sensitive",
    "Jovial, Free-spirited and Philosophical",
    "Powerful, Resourceful and Strong-willed",
    "Dependable, Patient and Persistent",
    "Analytical, Methodical and Hard-working",

    // 129-141: male weaknesses
    "Weaknesses A",
    "Detached and contrary; dislikes being told what to do",
    "Reckless and apt to act before he thinks",
    "Touchy and inclined to sulk when hurt",
    "Too serious at times and slow to relax",
    "Changeable, nervous and hard to pin down",
    "Vain, bossy and hates to be ignored",
    "Can sit on the fence rather than choose",
    "Vague, impractical and easily discouraged",
    "Restless and blunt to the point of rudeness",
    "Possessive and never forgets an injury",
    "Stubborn as the bull and slow to change",
    "Fussy, fault-finding and a perfectionist",

    // 142-154: male friendships
    "Friendships A",
    "Has friends of every kind and treats them all alike",
    "A loyal friend who will fight your battles for you",
    "Keeps old friends close and remembers every birthday",
    "Chooses his friends with care and keeps them for years",
    "Knows everyone; his friends are never short of news",
    "The life of the party, surrounded by admirers",
    "Easy company; few people can resist his charm",
    "A sympathetic friend who will always listen",
    "Friendly and open, he makes friends on every journey",
    "Few friends, but each one trusted completely",
    "A friend for life, as steady as a rock",
    "Quietly dependable; the friend who always helps",

    // 155-167: male love (its header has always read "Love", without the " A")
    "Love",
    "Easier to love many people rather than just one",
    "An ardent lover who enjoys the chase",
    "Tender and devoted; longs for a home of his own",
    "Slow to love but faithful",
    "Needs variety and a partner who can make him laugh",
    "A romantic who loves to spoil his partner",
    "In love with love; happiest as one of a pair",
    "Dreams of a perfect love and gives his all",
    "Must feel free, even when deeply in love",
    "Passionate and jealous; loves with his whole being",
    "Affectionate, loyal and a little possessive",
    "Shy at first, but a considerate and loyal partner",

    // 168-180: male health
    "Health A",
    "Circulation needs care.  Watch the calves and ankles",
    "Burns himself out; mind the head and avoid accidents",
    "Take care of the chest and stomach; do not bottle up worries",
    "Tough and long-lived, but watch the knees and joints",
    "Must rest his busy mind.  Look after the lungs",
    "Keep the heart strong and the back straight!",
    "Moderation in all things protects the kidneys",
    "Needs plenty of rest.  Keep the feet warm and dry",
    "Loves the outdoors; beware of strains to hips and thighs",
    "Robust, but should not push himself too far",
    "Fond of good living; look after the throat and weight",
    "Highly strung; a plain diet suits the digestion best",

    // 181-193: male fortune
    "Fortune A",
    "Original ideas will make his name",
    "Fortune favours the brave, and he is brave!",
    "Cancerians are very apt in business",
    "Slow and steady climbing will take him to the top",
    "Words and ideas will be the making of his fortune",
    "Success and recognition are written in his stars",
    "Luck comes through good partners and fair dealing",
    "Intuition will guide him to good fortune",
    "A lucky sign; chances come from far away",
    "Determination will turn setbacks into success",
    "Money comes to him through patience and thrift",
    "Attention to detail will bring him prosperity",

    // 194-206: male birthstone
    "Birthstone A",
    "Amethyst",
    "Diamond",
    "Ruby",
    "Red Garnet",
    "Agate",
    "Sardonyx",
    "Opal",
    "Aquamarine",
    "Turquoise",
    "Topaz",
    "Emerald",
    "Sapphire",

    // 207-219: male colour
    "Colour A",
    "Silver",
    "Red",
    "White",
    "Navy Blue",
    "Light Blue",
    "Gold",
    "Pink",
    "Rose",
    "Blue",
    "Red",
    "Russet",
    "Blue",

    // 220: the table ends with one empty line
    "",
};
static_assert(std::size(kLines) == kProfileTextLineCount, "the table's line numbers are fixed");

constexpr int kLinesPerBlock = kSignCount + 1;

} // namespace

std::string_view profileTextLine(int n)
{
    if (n < 0 || n >= kProfileTextLineCount)
        throw std::out_of_range("Profile text line " + std::to_string(n) + " does not exist");
    return kLines[static_cast<std::size_t>(n)];
}

QStringList profileTextLines()
{
    QStringList lines;
    lines.reserve(kProfileTextLineCount);
    for (const std::string_view line : kLines)
        lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    return lines;
}

std::optional<int> findSignRow(const QString& sign)
{
    for (int row = 0; row < kSignCount; ++row) {
        const std::string_view name = kLines[static_cast<std::size_t>(row)];
        if (sign == QLatin1String(name.data(), static_cast<qsizetype>(name.size())))
            return row;
    }
    return std::nullopt;
}

int profileTextLineNumber(Variant variant, ProfileField field, int row)
{
    return kLinesPerBlock * (kTextFieldCount * static_cast<int>(variant) + static_cast<int>(field)) + row;
}

QString profileText(Variant variant, ProfileField field, int row)
{
    if (row < 0 || row >= kSignCount)
        throw std::out_of_range("Sign row " + std::to_string(row) + " does not exist");
    const std::string_view line = profileTextLine(profileTextLineNumber(variant, field, row));
    return QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace profile
