// Starts the lesson's module as soon as the page's head is read, while the style sheet, the
// faces and the page's scripts are on their way. ParallelRatio.module resolves to the module
// (what createParallelRatio() gives); a script that runs first and finds no ParallelRatio.module
// sets ParallelRatio.moduleWaited, which is called with it.
//
// Over http(s) the WebAssembly is a file of its own, compiled while it downloads, beside a
// small script. A page opened from disk may not fetch a file beside it, so there the module
// is the one script with the WebAssembly inside (parallel-ratio.js).
(function (PR) {
  'use strict';

  const served = location.protocol === 'http:' || location.protocol === 'https:';

  // A server that does not send .wasm as application/wasm (or a browser without
  // compileStreaming) defeats compiling while it downloads, not the lesson: then the whole
  // file is compiled once it is in.
  function compile(url) {
    const get = () => fetch(url, { credentials: 'same-origin' }).then((r) => {
      if (!r.ok) throw new Error(`${url}: ${r.status}`);
      return r;
    });
    const whole = () => get().then((r) => r.arrayBuffer()).then((b) => WebAssembly.compile(b));
    if (typeof WebAssembly.compileStreaming !== 'function') return whole();
    return WebAssembly.compileStreaming(get()).catch(whole);
  }

  function script(src) {
    return new Promise((done, fail) => {
      const s = document.createElement('script');
      s.src = src;
      s.onload = done;
      s.onerror = () => fail(new Error(`${src} could not be loaded`));
      document.head.appendChild(s);
    });
  }

  PR.moduleFile = served ? 'parallel-ratio-stream.js' : 'parallel-ratio.js';
  const compiled = served ? compile('parallel-ratio-stream.wasm') : null;
  PR.module = script(PR.moduleFile).then(() => new Promise((done, fail) => {
    createParallelRatio(compiled ? {
      // The module's own loader would fetch the file only now that its script has run.
      instantiateWasm(imports, receive) {
        compiled.then((m) => WebAssembly.instantiate(m, imports).then((i) => receive(i, m)))
          .catch(fail);
        return {};
      },
    } : {}).then(done, fail);
  }));
  // This script runs as soon as it is in, before or after main.js.
  PR.moduleWaited?.(PR.module);
})(globalThis.ParallelRatio ??= {});
