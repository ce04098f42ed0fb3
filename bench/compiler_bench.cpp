// Compiles a generated project from its machine texts in memory to the image
// bytes. A main machine and its timer machine share the entries of one jump
// table, so a project of size N gives each main machine 70% of N items and
// its timer machine the rest (every kind a machine may hold, every exit
// connected, screens on every Input and ReadKey); N = 1000 fills both tables,
// the largest project the terminal takes.
//
//   compiler_bench                             run the benchmarks
//   compiler_bench --write-project=PATH [N]    write the project file instead
//                                              (for measuring `qvt compile`)
#include "compiler/compile_driver.h"
#include "compiler/compile_failure.h"
#include "compiler/image_builder.h"
#include "compiler/image_layout.h"
#include "model/item_kinds.h"
#include "model/items_list.h"
#include "core/headless_messages.h"
#include "project/project_file.h"
#include "bench_main.h"

#include <benchmark/benchmark.h>

// GCC 12 reports a false overlap in std::string's assignment of a literal once
// it is inlined deep enough (its bug 105329); nothing here overlaps.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

using namespace qvt;

// A generated project must read without a single message.
class SilentMessages : public qvt::SilentMessages {
protected:
    void shown(std::string_view message, bool isError) override
    {
        if (isError)
            throw std::runtime_error(std::string(message));
    }
};

// Kinds in the order they repeat; timer machines leave out the three that
// only a main machine may hold.
constexpr std::int32_t kMainKinds[] = {KindInput,     KindReadKey,   KindGetSequence, KindSecOfCentury, KindWriteToFlash,
                                       KindStrCopy,   KindStrCat,    KindStrLen,      KindStrPos,       KindStrCmp,
                                       KindProcess,   KindNumCmp,    KindSync,        KindTmrReturn,    KindGetDate,
                                       KindGetTime,   KindWdt};
constexpr std::int32_t kTimerKinds[] = {KindGetSequence, KindSecOfCentury, KindWriteToFlash, KindStrCopy, KindStrCat,
                                        KindStrLen,      KindStrPos,       KindStrCmp,       KindProcess, KindNumCmp,
                                        KindTmrReturn,   KindGetDate,      KindGetTime,      KindWdt};

std::unique_ptr<TitcItem> MakeItem(std::int32_t kind, int id, int count, int& stateNumber)
{
    auto item = CreateItem(kind);
    const int next = id % count + 1;
    const int other = (id + 6) % count + 1;
    item->id = id;
    item->row = (id - 1) / 8;
    item->column = (id - 1) % 8;
    std::string screen = "ITEM ";
    screen.append(std::to_string(id)).append("\r\nCOUNT \xB2" "c####\r\n\r\nPRESS E");
    switch (kind) {
    case KindInput: {
        auto& i = static_cast<TItcInputMenu&>(*item);
        i.stateNumber = stateNumber++;
        i.screenText = screen;
        i.target = 31 + id % 50;
        i.inputFormat = 0x20;
        i.inputSize = 6;
        i.okTarget = next;
        i.errorTarget = id;
        i.cancelTarget = other;
        i.inputRow = 3;
        i.inputColumn = 5;
        i.maxLength = 6;
        break;
    }
    case KindReadKey: {
        auto& r = static_cast<TItcReadKeyMenu&>(*item);
        r.stateNumber = stateNumber++;
        r.screenText = screen;
        r.enterTarget = next;
        r.cancelTarget = other;
        r.f1Target = next;
        r.digit1Target = other;
        break;
    }
    case KindGetSequence: {
        auto& g = static_cast<TItcGetSequence&>(*item);
        g.target = 1 + id % 30;
        g.nextTarget = next;
        break;
    }
    case KindSecOfCentury: {
        auto& n = static_cast<TitcSecOfCentury&>(*item);
        n.target = 31 + id % 50;
        n.nextTarget = next;
        break;
    }
    case KindWriteToFlash: {
        auto& w = static_cast<TItcWriteToFlash&>(*item);
        w.tag = id % 256;
        w.source1 = 1 + id % 100;
        w.source2 = 31;
        w.okTarget = next;
        w.errorTarget = other;
        break;
    }
    case KindStrCopy:
    case KindStrCat: {
        auto& s = static_cast<TItcStrCopyOrCat&>(*item);
        s.target = 1 + id % 30;
        s.source = kind == KindStrCopy ? 0 : 1 + (id + 1) % 30;
        s.constText = "STOCK COUNT";
        s.constStart = 1;
        s.constEnd = 5;
        s.nextTarget = next;
        break;
    }
    case KindStrLen: {
        auto& s = static_cast<TItcStrLen&>(*item);
        s.target = 31;
        s.source = 1 + id % 30;
        s.nextTarget = next;
        break;
    }
    case KindStrPos: {
        auto& s = static_cast<TItcStrPos&>(*item);
        s.target = 32;
        s.source = 1 + id % 30;
        s.constText = ";";
        s.occurrence = 2;
        s.nextTarget = next;
        break;
    }
    case KindStrCmp: {
        auto& s = static_cast<TItcStrCmp&>(*item);
        s.target = 1;
        s.source = id % 2 ? 0 : 2;
        s.constText = "END";
        s.equalTarget = next;
        s.notEqualTarget = other;
        break;
    }
    case KindProcess: {
        auto& p = static_cast<TItcProcess&>(*item);
        p.target = id % 2 ? 81 : 33;
        p.operation = OpAdd;
        p.constValue = 1.5;
        p.nextTarget = next;
        break;
    }
    case KindNumCmp: {
        auto& n = static_cast<TItcNumCmp&>(*item);
        n.target = 34;
        n.constValue = 100;
        n.equalTarget = next;
        n.lessTarget = other;
        n.greaterTarget = next;
        break;
    }
    case KindSync: {
        auto& s = static_cast<TItcSync&>(*item);
        s.stateNumber = stateNumber++;
        s.source = 35;
        break;
    }
    case KindGetDate:
    case KindGetTime: {
        auto& g = kind == KindGetDate ? static_cast<TItcGetDate&>(*item).target : static_cast<TItcGetTime&>(*item).target;
        g = 10;
        (kind == KindGetDate ? static_cast<TItcGetDate&>(*item).nextTarget : static_cast<TItcGetTime&>(*item).nextTarget) =
            next;
        break;
    }
    case KindWdt: {
        auto& w = static_cast<TItcWdt&>(*item);
        w.startTime = 36;
        w.increment = 37;
        w.flag = 38;
        w.nextTarget = next;
        break;
    }
    default:
        break;
    }
    return item;
}

MachineText GenerateMachine(bool timer, int count, Messages& messages)
{
    TitcItemsList list(messages);
    int stateNumber = 0;
    for (int id = 1; id <= count; ++id) {
        const std::int32_t kind = timer ? kTimerKinds[(id - 1) % std::size(kTimerKinds)]
                                        : kMainKinds[(id - 1) % std::size(kMainKinds)];
        list.PutItem(MakeItem(kind, id, count, stateNumber));
    }
    MachineText text;
    list.SaveToMachineText(text);
    return text;
}

// Items of a main machine and of its timer machine for `entries` jump table
// entries (at most the table's 1000).
int MainItems(int entries) { return entries * 7 / 10; }
int TimerItems(int entries) { return entries - MainItems(entries); }

// Throws when the project cannot be generated (std::runtime_error).
ProjectState GenerateProject(int entries)
{
    if (entries < 2 || entries > kJumpTableEntries)
        throw std::runtime_error("a project of " + std::to_string(entries) + " table entries per machine pair is outside 2.."
                                 + std::to_string(kJumpTableEntries));
    SilentMessages messages;
    ProjectState project;
    project.newProject();
    project.projectFileName = "bench.zmk";
    for (MachineId id : {MachineId::Online, MachineId::OnlineTimer, MachineId::Offline, MachineId::OfflineTimer}) {
        const bool timer = id == MachineId::OnlineTimer || id == MachineId::OfflineTimer;
        project.machineText(id) = GenerateMachine(timer, timer ? TimerItems(entries) : MainItems(entries), messages);
    }
    for (int i = 1; i <= 30; ++i)
        project.variables[size_t(i)].initialValue.assign("text ").append(std::to_string(i));
    return project;
}

// The project for a benchmark, or nullopt with the benchmark marked failed.
std::optional<ProjectState> ProjectFor(benchmark::State& state)
{
    try {
        return GenerateProject(int(state.range(0)));
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return std::nullopt;
    }
}

void BM_CompileProject(benchmark::State& state)
{
    const std::optional<ProjectState> project = ProjectFor(state);
    if (!project)
        return;
    const CompileSettings settings = CompileSettings::ForProject(*project);
    SilentMessages messages;
    size_t imageSize = 0;
    for (auto _ : state) {
        try {
            CompileResult result = CompileProjectImage(*project, settings, messages);
            if (result.outcome != CompileOutcome::ImageWritten) {
                state.SkipWithError(result.reason.c_str());
                break;
            }
            imageSize = result.image.size();
            benchmark::DoNotOptimize(result.image.data());
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["image_bytes"] = double(imageSize);
    state.counters["items"] = double(2 * state.range(0));
}
BENCHMARK(BM_CompileProject)->Arg(250)->Arg(500)->Arg(750)->Arg(1000)->Unit(benchmark::kMillisecond);

// The compiler's own share: the same project from items already in memory
// (reading the machine texts left out) to the image bytes.
void BM_CompileItems(benchmark::State& state)
{
    const std::optional<ProjectState> project = ProjectFor(state);
    if (!project)
        return;
    SilentMessages messages;
    constexpr MachineId order[] = {MachineId::Online, MachineId::OnlineTimer, MachineId::Offline,
                                   MachineId::OfflineTimer};
    std::vector<TitcItemsList> lists;
    for (MachineId id : order)
        lists.emplace_back(project->machineText(id), messages);
    for (auto _ : state) {
        try {
            auto builder = std::make_unique<TIT>("bench.zmk", "V1");
            ErrorList errors;
            for (size_t i = 0; i < 4; ++i) {
                builder->CompileMachine(order[i], lists[i], errors);
                if (!errors.empty())
                    throw std::runtime_error(std::to_string(errors.count()) + " item errors in a generated machine");
            }
            std::vector<std::uint8_t> image = builder->LayoutImage(
                project->variables, project->labelData, project->onlineTimerInterval, project->offlineTimerInterval);
            benchmark::DoNotOptimize(image.data());
        } catch (const CompileFailure& failure) {
            state.SkipWithError(failure.describe().c_str());
            break;
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
    state.counters["items"] = double(2 * state.range(0));
}
BENCHMARK(BM_CompileItems)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strncmp(argv[1], "--write-project=", 16) == 0) {
        const int entries = argc >= 3 ? std::atoi(argv[2]) : kJumpTableEntries;
        try {
            const ProjectState project = GenerateProject(entries);
            if (!WriteProjectFile(argv[1] + 16, project)) {
                std::fprintf(stderr, "cannot write %s\n", argv[1] + 16);
                return 1;
            }
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        return 0;
    }
    return RunBenchmarks(argc, argv);
}
