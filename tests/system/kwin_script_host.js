// Runs a KWin window script as KWin would, against the windows of a test, and prints what it
// did as one JSON list: {"callDBus": [arguments]}, {"close": id}, {"activate": id}.
//   node kwin_script_host.js SCRIPT STATE_JSON
// STATE_JSON: {"plasma": 5 or 6, "active": id or null, "layout": [width, height],
//              "windows": [{"id", "pid", "resourceClass", "resourceName", "caption", "special"}]}
// Plasma 5 names windows "clients" and hands byte arrays (the resource class and name) to
// scripts as ArrayBuffers; Plasma 6 gives strings. Ids are objects that print as "{uuid}".
"use strict";
const fs = require("fs");
const vm = require("vm");

const [scriptPath, stateText] = process.argv.slice(2);
const state = JSON.parse(stateText);
const plasma5 = state.plasma === 5;
const done = [];

function bytes(text) {
  return plasma5 ? new TextEncoder().encode(text).buffer : text;
}

const windows = state.windows.map((w) => ({
  internalId: { toString: () => "{" + w.id + "}" },
  pid: w.pid,
  resourceClass: bytes(w.resourceClass),
  resourceName: bytes(w.resourceName),
  caption: w.caption,
  specialWindow: !!w.special,
  closeWindow: () => done.push({ close: w.id }),
}));
const byId = (id) => windows[state.windows.findIndex((w) => w.id === id)] || null;

// Plasma 6 tells the layout's size as an object, older Plasmas as two numbers.
const workspace = plasma5
  ? { displayWidth: state.layout[0], displayHeight: state.layout[1] }
  : { virtualScreenSize: { width: state.layout[0], height: state.layout[1] } };
const activeName = plasma5 ? "activeClient" : "activeWindow";
workspace[plasma5 ? "clientList" : "windowList"] = () => windows;
Object.defineProperty(workspace, activeName, {
  get: () => byId(state.active),
  set: (window) => done.push({ activate: state.windows[windows.indexOf(window)].id }),
});

const context = {
  workspace,
  callDBus: (...args) => done.push({ callDBus: args }),
};
vm.runInNewContext(fs.readFileSync(scriptPath, "utf8"), context, { filename: scriptPath });
process.stdout.write(JSON.stringify(done));
