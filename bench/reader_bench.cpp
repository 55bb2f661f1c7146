// Times every reader of text from strangers on 8 MB inputs built to be
// costly: "href=", 49 letters and the site key repeated with no double
// quote, "<" repeated, unquoted "href=" repeated, the site key repeated,
// deep nesting, a million links, both of the last two after an svg, and
// for the JSON and table readers their own hostile shapes. Each input is
// 8 MB, so the time of one iteration is the time per 8 MB.

#include "scrape/LinkStatus.h"
#include "scrape/Reciprocal.h"
#include "scrape/SiteLink.h"
#include "services/backlinkimport/AddressCollector.h"
#include "services/backlinkimport/ImportTextReader.h"
#include "services/backlinkimport/ImportedBacklinks.h"
#include "services/htmlsearch/SearchRank.h"
#include "services/openpagerank/OpenPageRank.h"
#include "services/pagerankpage/PageRank.h"
#include "services/searxng/SearxngRank.h"
#include "services/siteexplorer/BacklinkPage.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

constexpr std::size_t kInputSize = 8u << 20;
constexpr std::string_view kSiteKey = "profiled-site.com";

// The piece repeated until the input is 8 MB, the last copy cut to fit.
std::string Repeated(std::string_view piece) {
    std::string text;
    text.reserve(kInputSize);
    while (text.size() < kInputSize) {
        text.append(piece.substr(0, std::min(piece.size(), kInputSize - text.size())));
    }
    return text;
}

// A piece made anew for every n until the input is 8 MB, then closed.
std::string Generated(const std::function<std::string(std::size_t)>& piece, std::string_view open,
                      std::string_view close) {
    std::string text(open);
    for (std::size_t n = 0; text.size() + close.size() < kInputSize; ++n) {
        text += piece(n);
    }
    text.resize(kInputSize - close.size(), ' ');
    text += close;
    return text;
}

struct Input {
    const char* name;
    std::string text;
};

std::vector<Input> HtmlInputs() {
    std::vector<Input> inputs;
    inputs.push_back(
        {"crafted-href", Repeated("href=" + std::string(49, 'q') + std::string(kSiteKey) + " ")});
    inputs.push_back({"open-brackets", Repeated("<")});
    inputs.push_back({"unquoted-href", Repeated("href=")});
    inputs.push_back({"site-key", Repeated(kSiteKey)});
    inputs.push_back({"nested-div", Repeated("<div>")});
    // An svg sends the link status to the whole tree, nested or not.
    inputs.push_back({"svg-nested-div", "<svg></svg>" + Repeated("<div>").substr(11)});
    inputs.push_back(
        {"million-links",
         Generated([](std::size_t n) { return "<a href=\"/p" + std::to_string(n) + "\">l</a>"; },
                   "<html><body>", "</body></html>")});
    inputs.push_back(
        {"svg-million-links",
         Generated([](std::size_t n) { return "<a href=\"/p" + std::to_string(n) + "\">l</a>"; },
                   "<html><body><svg></svg>", "</body></html>")});
    return inputs;
}

std::vector<Input> JsonInputs() {
    std::vector<Input> inputs;
    inputs.push_back({"nested-arrays", Repeated("[")});
    inputs.push_back({"nested-objects", Repeated("{\"a\":")});
    inputs.push_back(
        {"million-results", Generated(
                                [](std::size_t n) {
                                    return std::string(n == 0 ? "" : ",") + "{\"url\":\"http://e" +
                                           std::to_string(n) + ".example/\",\"domain\":\"d" +
                                           std::to_string(n) + "\"}";
                                },
                                "{\"status_code\":200,\"results\":[", "],\"response\":[]}")});
    inputs.push_back({"one-string", "\"" + Repeated("a").substr(2) + "\""});
    return inputs;
}

std::vector<Input> TableInputs() {
    std::vector<Input> inputs;
    inputs.push_back(
        {"unbalanced-quotes", "linking page,target\n" + Repeated("\"http://a.example/,\"x\n\"")});
    inputs.push_back({"one-huge-field", "linking page,target\n\"" + Repeated("a")});
    inputs.push_back({"million-delimiters", "linking page,target\n" + Repeated(",")});
    inputs.push_back(
        {"plain-list",
         Generated([](std::size_t n) { return "http://a" + std::to_string(n) + ".example/\n"; }, "",
                   "")});
    return inputs;
}

PageAnswer Answer(std::string body) {
    PageAnswer answer;
    answer.answered = true;
    answer.status = 200;
    answer.finalUrl = "http://linker.example/page.html";
    answer.body = std::move(body);
    return answer;
}

// A fetch that serves the page for the first address asked and an empty page
// for every other, so that a walk costs only its reading.
PageFetch FirstPageOnly(const std::string& body) {
    return PageFetch([&body, asked = std::make_shared<std::size_t>(0)](const std::string&,
                                                                       const RequestHeaders&) {
        return Answer((*asked)++ == 0 ? body : std::string());
    });
}

using Reader = std::function<void(const std::string&)>;

void Register(const std::string& reader, const std::vector<Input>& inputs, const Reader& read) {
    for (const Input& input : inputs) {
        benchmark::RegisterBenchmark((reader + "/" + input.name).c_str(),
                                     [read, &input](benchmark::State& state) {
                                         for (auto _ : state) {
                                             read(input.text);
                                         }
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

void RegisterAll() {
    static const std::vector<Input> html = HtmlInputs();
    static const std::vector<Input> json = JsonInputs();
    static const std::vector<Input> tables = TableInputs();
    const std::string key(kSiteKey);
    Register("ReadSiteLink", html,
             [key](const std::string& page) { benchmark::DoNotOptimize(ReadSiteLink(page, key)); });
    Register("CleanAnchorText", html,
             [](const std::string& page) { benchmark::DoNotOptimize(CleanAnchorText(page)); });
    Register("ReadLinkFacts", html, [](const std::string& page) {
        benchmark::DoNotOptimize(ReadLinkFacts(Answer(page), "/p999999"));
    });
    Register("CheckReciprocal", html, [key](const std::string& page) {
        // The backlink's own target is asked first; the start page comes second.
        int asked = 0;
        const PageFetch fetch([&](const std::string&, const RequestHeaders&) {
            return Answer(asked++ == 1 ? page : std::string());
        });
        benchmark::DoNotOptimize(
            CheckReciprocal(fetch, key, "http://profiled-site.com/", "http://linker.example/"));
    });
    Register("ReadBacklinkPage", html, [](const std::string& page) {
        benchmark::DoNotOptimize(ReadBacklinkPage(page, "ar_next.gif"));
    });
    Register("ReadPageRank", html,
             [](const std::string& page) { benchmark::DoNotOptimize(ReadPageRank(page)); });
    for (const RankColumn engine : kRankColumns) {
        Register("RankOn-" + std::string(RankColumnName(engine)), html,
                 [engine, key](const std::string& page) {
                     benchmark::DoNotOptimize(RankOn(engine, ServiceEndpoints(), 1,
                                                     FirstPageOnly(page), "blue widgets", key));
                 });
    }
    Register("ReadOpenPageRank", json, [](const std::string& body) {
        benchmark::DoNotOptimize(ReadOpenPageRank(Answer(body), {"d1", "d2"}));
    });
    Register("RankOnSearxng", json, [key](const std::string& body) {
        benchmark::DoNotOptimize(RankOnSearxng("http://searx.example", {"google"}, 1,
                                               FirstPageOnly(body), "blue widgets", key));
    });
    Register("ImportTextReader", tables, [](const std::string& text) {
        ImportedBacklinks imported;
        AddressCollector collector(imported);
        ImportTextReader reader(collector);
        constexpr std::size_t kChunk = 64 * 1024;
        for (std::size_t at = 0; at < text.size(); at += kChunk) {
            reader.Feed(std::string_view(text).substr(at, kChunk));
        }
        benchmark::DoNotOptimize(reader.Finish());
    });
}

}  // namespace
}  // namespace veltrap

int main(int argc, char** argv) {
    veltrap::RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
