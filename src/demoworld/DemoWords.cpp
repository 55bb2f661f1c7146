#include "demoworld/DemoWords.h"

#include <array>

namespace veltrap {
namespace {

constexpr std::array<std::string_view, 48> kNameParts = {
    "amber",   "birch",  "cedar",   "copper",  "dune",    "ember",   "fern",   "granite",
    "harbor",  "indigo", "juniper", "kestrel", "lantern", "maple",   "meadow", "north",
    "oak",     "pebble", "quartz",  "raven",   "river",   "saffron", "silver", "stone",
    "thistle", "timber", "tulip",   "valley",  "willow",  "wren",    "zephyr", "brook",
    "cliff",   "field",  "grove",   "hill",    "lake",    "marsh",   "moss",   "pine",
    "ridge",   "shore",  "spring",  "vale",    "wood",    "bay",     "crest",  "glen",
};

constexpr std::array<std::string_view, 24> kTopics = {
    "garden tools",      "home brewing",  "model railways", "vintage radios", "hiking trails",
    "bread baking",      "bird watching", "sea kayaking",   "woodworking",    "film cameras",
    "tea blends",        "board games",   "jazz records",   "bicycle repair", "watercolours",
    "chess openings",    "beekeeping",    "mountain huts",  "pottery",        "amateur astronomy",
    "knitting patterns", "fountain pens", "orchid care",    "sourdough",
};

// ISO-8859-1 bytes: \xe9 e-acute, \xfc u-umlaut, \xf1 n-tilde, \xe5 a-ring,
// \xf6 o-umlaut, \xe8 e-grave.
constexpr std::array<std::string_view, 6> kAccentedTopics = {
    "caf\xe9 culture",   "m\xfcnchen beer halls", "jalape\xf1o recipes",
    "\xe5lesund fjords", "\xf6ko gardening",      "cr\xe8me desserts",
};

constexpr std::array<std::string_view, 16> kSentences = {
    "I have been collecting notes on %t for a few years now.",
    "Most of what I know about %t I learned from other people's pages.",
    "This page is updated whenever I find something worth keeping.",
    "If a link here is broken, drop me a line and I will fix it.",
    "Some of these places are small, but they are run by people who care.",
    "The forum threads below are a good start if you are new to %t.",
    "Prices and opening times change, so check before you travel.",
    "We meet on the first Thursday of every month; newcomers are welcome.",
    "Thanks to everyone who sent in suggestions after the last update.",
    "Good %t advice is hard to find, so I keep a list of the sources I trust.",
    "Below are the sites our members recommend most often.",
    "Nothing here is sponsored; I simply like these sites.",
    "A few of the older articles still hold up surprisingly well.",
    "Our newsletter goes out twice a year and covers %t in depth.",
    "Photos from the spring meeting are now in the gallery.",
    "Please read the guidelines before posting a question about %t.",
};

constexpr std::array<std::string_view, 8> kFolders = {
    "links",     "blog/2008/03", "articles",      "forum/thread",
    "resources", "news/archive", "members/pages", "directory/category",
};

constexpr std::array<std::string_view, 8> kGenericAnchors = {
    "click here",      "this site",         "home page",    "read more",
    "useful resource", "my favourite shop", "great advice", "their website",
};

constexpr std::array<std::string_view, 4> kShortAnchors = {"Go", "\xbb", "Up", "Me"};

}  // namespace

std::span<const std::string_view> DemoWords::NameParts() {
    return kNameParts;
}
std::span<const std::string_view> DemoWords::Topics() {
    return kTopics;
}
std::span<const std::string_view> DemoWords::AccentedTopics() {
    return kAccentedTopics;
}
std::string DemoWords::Sentence(std::size_t choice, std::string_view topic) {
    std::string text(kSentences[choice % kSentences.size()]);
    const auto at = text.find("%t");
    if (at != std::string::npos) {
        text.replace(at, 2, topic);
    }
    return text;
}

std::span<const std::string_view> DemoWords::Folders() {
    return kFolders;
}
std::span<const std::string_view> DemoWords::GenericAnchors() {
    return kGenericAnchors;
}
std::span<const std::string_view> DemoWords::ShortAnchors() {
    return kShortAnchors;
}

}  // namespace veltrap
