// `devhost serve` on a free port for the browser tests: the process, and
// the address it prints once it listens.
import { spawn } from "node:child_process";

export function startDevhost(args) {
  const server = spawn(process.env.DEVHOST, ["serve", ...args, "--port", "0"], { stdio: ["ignore", "pipe", "inherit"] });
  const address = new Promise((resolve, reject) => {
    let out = "";
    server.stdout.on("data", (data) => {
      out += data;
      const found = out.match(/http:\/\/\S+\//);
      if (found) resolve(found[0]);
    });
    server.on("exit", (code) => reject(new Error(`devhost serve ended with ${code}`)));
  });
  return { server, address };
}
