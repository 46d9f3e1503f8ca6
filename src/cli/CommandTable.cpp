#include "CommandTable.h"

namespace {
const CommandEntry Commands[] = {
    {"check", RunCheck, false,
        {{{"check FILE...", "Read every record of each file; say how many it holds."}}}},
    {"spectrum", RunSpectrum, false,
        {{{"spectrum [--record N | --all] [--format text|csv|json] FILE",
            "The spectrum table: Nc, E and log E per level."}}}},
    {"timers", RunTimers, false,
        {{{"timers [--record N | --all] [--format text|csv|json] FILE",
            "Active work hours and battery days left."}}}},
    {"chart", RunChart, true,
        {{{"chart [--record N] [--size WxH] -o OUT FILE",
              "The graphic spectrum as PNG, PDF or SVG (by OUT's extension)."},
            {"chart --kind exceedance [...] -o OUT FILE...",
                "The exceedance chart with its references, PNG, PDF or SVG."}}}},
    {"reset", RunReset, false,
        {{{"reset [--port DEVICE]", "Send the recorder its counter reset (COM1, else COM2)."}}}},
    {"exceedance", RunExceedance, false,
        {{{"exceedance [--record N | --all] [--combine MODE] [--axis n|dn|a] [--reference REF]...\n"
           "           [--format text|csv|json] FILE...",
            "Exceedances per 1000 h per level, beside reference spectra."}}}},
    {"damage", RunDamage, false,
        {{{"damage [--record N | --all] [--combine MODE] --sigma1 MPA --k K --sd MPA --nd N\n"
           "       [--parameters INI] [--format text|csv|json] FILE...",
            "Fatigue damage (Miner) from the counts: two estimates, life used."}}}},
    {"report", RunReport, true,
        {{{"report [...] -o OUT.pdf FILE...",
            "An A4 PDF usage report: what was read, chart, table, damage."}}}},
    {"register", RunRegister, false,
        {{{"register aircraft|add|list|history|remove [...]",
            "The register of every read-out of every aircraft (SQLite, or\n"
            "PostgreSQL with --register postgresql://...)."}}}},
    {"fleet", RunFleet, false,
        {{{"fleet [--since YYYY-MM-DD] [--format text|csv|json]",
            "Every aircraft of the register ranked by life used."}}}},
    {"export", RunExport, false,
        {{{"export [-o FILE]", "The whole register as one JSON document."}}}},
    {"import", RunImport, false, {{{"import FILE", "An exported register into an empty one."}}}},
};

const char OverviewHead[] = R"(Usage: zemra-cli [--help] [--version] COMMAND [OPTIONS] [ARGUMENTS]

Data files of the ZEMRA fatigue-loads recorder from the command line.

Commands:
)";

const char OverviewTail[] = R"(
Options:
  -h, --help                This help; 'zemra-cli COMMAND --help' for a command's own.
  -v, --version             The program's version.

Exit status: 0 success, 1 a data file refused, an output not written (or one that
would replace an input, or a closed standard output), a device failure or the
register refused or out of reach, 2 wrong usage.
)";

// Descriptions start in this column; a synopsis that reaches it puts its description below.
constexpr qsizetype DescriptionColumn = 28;

void appendForm(QByteArray &text, const CommandForm &form)
{
    QByteArray synopsis = "  " + QByteArray(form.synopsis);
    synopsis.replace("\n", "\n  ");
    text += synopsis;
    const qsizetype lastLine = synopsis.size() - (synopsis.lastIndexOf('\n') + 1);
    const QByteArray indent(DescriptionColumn, ' ');
    if (lastLine < DescriptionColumn - 1)
        text += QByteArray(DescriptionColumn - lastLine, ' ');
    else
        text += '\n' + indent;
    text += QByteArray(form.description).replace("\n", "\n" + indent) + '\n';
}
} // namespace

const CommandEntry *FindCommand(QByteArrayView name)
{
    for (const CommandEntry &command : Commands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

QByteArray OverviewText()
{
    QByteArray text = OverviewHead;
    for (const CommandEntry &command : Commands) {
        for (const CommandForm &form : command.forms) {
            if (form.synopsis)
                appendForm(text, form);
        }
    }
    return text + OverviewTail;
}

QByteArray CommandNames()
{
    QByteArray names;
    for (const CommandEntry &command : Commands)
        names += QByteArray(command.name) + '\n';
    return names;
}
