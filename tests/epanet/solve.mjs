// Solves one steady state of an .inp network with the EPANET 2.2 engine
// (compiled to WebAssembly) and prints the results as JSON on standard output:
//   node solve.mjs NETWORK.inp
// Units are the file's own (l/s and metres for the files we write).
// A failure prints a message on standard error and exits with status 1.
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { Project, NodeProperty, LinkProperty, CountType } from "epanet-js";
import { Workspace } from "epanet-js/slim";
import { EpanetEngine } from "epanet-js/engines/v2.2";

function engineBinary() {
    const require = createRequire(import.meta.url);
    const entry = require.resolve("epanet-js/engines/v2.2");
    return join(dirname(entry), "EpanetEngine.wasm");
}

async function solve(inpPath) {
    const ws = new Workspace();
    // Node's fetch does not read file URLs: hand the engine its binary.
    await ws.loadModuleVersion(() => EpanetEngine({ wasmBinary: readFileSync(engineBinary()) }));
    const project = new Project(ws);
    ws.writeFile("net.inp", readFileSync(inpPath));
    try {
        project.open("net.inp", "net.rpt", "");
    } catch (error) {
        // The engine lists the lines it refused in its report file.
        let report = "";
        try {
            report = ws.readFile("net.rpt");
        } catch {
            // no report written
        }
        throw new Error(`${error.message}\n${report}`);
    }
    project.openH();
    project.initH(0);
    project.runH();
    const nodes = [];
    for (let i = 1; i <= project.getCount(CountType.NodeCount); i++) {
        nodes.push({
            id: project.getNodeId(i),
            type: project.getNodeType(i),
            elevation: project.getNodeValue(i, NodeProperty.Elevation),
            demand: project.getNodeValue(i, NodeProperty.Demand),
            head: project.getNodeValue(i, NodeProperty.Head),
            pressure: project.getNodeValue(i, NodeProperty.Pressure),
        });
    }
    const links = [];
    for (let i = 1; i <= project.getCount(CountType.LinkCount); i++) {
        const ends = project.getLinkNodes(i);
        links.push({
            id: project.getLinkId(i),
            node1: project.getNodeId(ends.node1),
            node2: project.getNodeId(ends.node2),
            flow: project.getLinkValue(i, LinkProperty.Flow),
            velocity: project.getLinkValue(i, LinkProperty.Velocity),
            headloss: project.getLinkValue(i, LinkProperty.Headloss),
        });
    }
    project.closeH();
    project.close();
    return { engine: ws.version, nodes, links };
}

if (process.argv.length !== 3) {
    process.stderr.write("usage: node solve.mjs NETWORK.inp\n");
    process.exit(2);
}
try {
    const result = await solve(process.argv[2]);
    process.stdout.write(JSON.stringify(result) + "\n");
} catch (error) {
    process.stderr.write(`${error && error.message ? error.message : error}\n`);
    process.exit(1);
}
