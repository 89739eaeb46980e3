// Code chunk layouts and the reference chains threaded through the bytecode.
#include "code_chunks.h"

#include <map>
#include <stdexcept>

namespace wad {

namespace {

std::string KindTag(ReferenceKind kind) {
    return kind == ReferenceKind::Variable ? "v" : "f";
}

std::string ChainLabelOf(ReferenceKind kind, const std::string& name) {
    return "CODE.ref." + KindTag(kind) + "." + name;
}

// The operand word with `distance` in its distance bits.
uint32_t WithDistance(uint32_t operand, int32_t distance, ReferenceKind kind, CodeLayout layout) {
    if (kind == ReferenceKind::Function) return static_cast<uint32_t>(distance);
    const uint32_t mask = layout == CodeLayout::Newer ? 0x0FFFFFFFu : 0x1FFFFFFFu;
    return (operand & ~mask) | (static_cast<uint32_t>(distance) & mask);
}

} // namespace

ChainInfo Chain(const CodeFields* code, ReferenceKind kind, const std::string& name) {
    ChainInfo info;
    if (code == nullptr) return info;
    for (const CodeReference& r : code->references) {
        if (r.kind != kind || r.name != name) continue;
        if (info.count++ == 0) info.label = ChainLabelOf(kind, name);
    }
    return info;
}

Chunk& WriteCode(GameDataWriter& writer, const CodeFields& code) {
    Chunk& c = writer.AddChunk("CODE");
    const size_t n = code.entries.size();
    c.U32(static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) c.Offset("CODE.entry." + std::to_string(i));

    // Chunk-relative place of each entry's bytecode.
    const bool newer = code.layout == CodeLayout::Newer;
    std::vector<size_t> bytecodeAt(n);
    size_t pos = c.Size();
    if (newer) {
        size_t bytecode = pos + 20 * n;
        for (size_t i = 0; i < n; ++i) {
            bytecodeAt[i] = bytecode;
            bytecode += 4 * code.entries[i].bytecode.size();
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            bytecodeAt[i] = pos + 8;
            pos += 8 + 4 * code.entries[i].bytecode.size();
        }
    }

    // Thread the chains through copies of the bytecode.
    std::vector<std::vector<uint32_t>> words(n);
    for (size_t i = 0; i < n; ++i) words[i] = code.entries[i].bytecode;
    std::map<std::pair<ReferenceKind, std::string>, std::vector<const CodeReference*>> chains;
    for (const CodeReference& r : code.references) {
        if (r.entry >= n || r.word + 1 >= words[r.entry].size())
            throw std::out_of_range("reference outside its entry's bytecode: " + r.name);
        chains[{r.kind, r.name}].push_back(&r);
    }
    std::map<size_t, std::string> labelAt; // chunk-relative instruction place -> label
    for (const auto& [key, refs] : chains) {
        for (size_t k = 0; k < refs.size(); ++k) {
            const CodeReference& r = *refs[k];
            const size_t here = bytecodeAt[r.entry] + 4 * r.word;
            int32_t distance = 0;
            if (k + 1 < refs.size())
                distance = static_cast<int32_t>(bytecodeAt[refs[k + 1]->entry] + 4 * refs[k + 1]->word) -
                           static_cast<int32_t>(here);
            if (r.distance) distance = *r.distance;
            uint32_t& operand = words[r.entry][r.word + 1];
            operand = WithDistance(operand, distance, r.kind, code.layout);
            if (k == 0) labelAt[here] = ChainLabelOf(key.first, key.second);
        }
    }

    auto writeBytecode = [&](size_t i) {
        for (size_t w = 0; w < words[i].size(); ++w) {
            auto label = labelAt.find(c.Size());
            if (label != labelAt.end()) c.Label(label->second);
            c.U32(words[i][w]);
        }
    };
    for (size_t i = 0; i < n; ++i) {
        const CodeEntryFields& e = code.entries[i];
        c.Label("CODE.entry." + std::to_string(i));
        c.String(e.name).U32(static_cast<uint32_t>(4 * e.bytecode.size()));
        if (newer) {
            const size_t field = c.Size() + 4;
            c.U16(e.locals).U16(e.arguments);
            c.S32(static_cast<int32_t>(bytecodeAt[i]) - static_cast<int32_t>(field));
            c.U32(e.offsetInParent);
        } else {
            writeBytecode(i);
        }
    }
    if (newer)
        for (size_t i = 0; i < n; ++i) writeBytecode(i);
    return c;
}

Chunk& WriteVariables(GameDataWriter& writer, const VariablesFields& fields, const CodeFields* code) {
    Chunk& c = writer.AddChunk("VARI");
    const bool newer = fields.layout == CodeLayout::Newer;
    if (newer) c.U32(fields.globals).U32(fields.instances).U32(fields.locals);
    for (const VariableFields& v : fields.variables) {
        ChainInfo chain = Chain(code, ReferenceKind::Variable, v.name);
        c.String(v.name);
        if (newer) c.S32(v.kind).S32(v.id);
        c.U32(v.referenceCount.value_or(chain.count));
        if (chain.label.empty())
            c.U32(0);
        else
            c.Offset(chain.label);
    }
    return c;
}

Chunk& WriteFunctions(GameDataWriter& writer, const FunctionsFields& fields, const CodeFields* code) {
    Chunk& c = writer.AddChunk("FUNC");
    const bool newer = fields.layout == CodeLayout::Newer;
    if (newer) c.U32(static_cast<uint32_t>(fields.functions.size()));
    for (const FunctionFields& f : fields.functions) {
        ChainInfo chain = Chain(code, ReferenceKind::Function, f.name);
        c.String(f.name).U32(f.referenceCount.value_or(chain.count));
        if (chain.label.empty())
            c.U32(0);
        else
            c.Offset(chain.label);
    }
    if (newer) {
        c.U32(static_cast<uint32_t>(fields.locals.size()));
        for (const LocalNamesFields& l : fields.locals) {
            c.U32(static_cast<uint32_t>(l.names.size())).String(l.function);
            for (const std::string& name : l.names) c.U32(0).String(name);
        }
    }
    return c;
}

Chunk& WriteScripts(GameDataWriter& writer, const std::vector<std::optional<ScriptFields>>& scripts,
                    const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("SCPT");
    c.U32(static_cast<uint32_t>(scripts.size()));
    for (size_t i = 0; i < scripts.size(); ++i) {
        if (scripts[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < scripts.size(); ++i) {
        if (!scripts[i]) continue;
        const ScriptFields& s = *scripts[i];
        c.Label(labelPrefix + "." + std::to_string(i));
        if (s.name)
            c.String(*s.name);
        else
            c.U32(0);
        if (s.source)
            c.String(*s.source);
        else
            c.U32(s.codeIndex);
    }
    return c;
}

Chunk& WriteGlobalScripts(GameDataWriter& writer, const std::vector<int32_t>& codeIndices) {
    Chunk& c = writer.AddChunk("GLOB");
    c.U32(static_cast<uint32_t>(codeIndices.size()));
    for (int32_t index : codeIndices) c.S32(index);
    return c;
}

} // namespace wad
