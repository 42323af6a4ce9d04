// Turns the browser's pointer input on the surface into the lesson's surface events: press,
// move and release with the lesson's button codes (1 left, 2 right, 4 middle; a move carries
// the buttons held, or'ed), shift state (1 shift, 2 ctrl, 4 alt) and the position in logical
// surface pixels.
//
// A mouse acts with its own buttons, and moves with none held too (the eraser cursor follows
// the pointer). One finger acts as the left button; other fingers are ignored until it lifts.
// A pen's tip is the left button and its barrel button the right; a hovering pen moves like
// a mouse with no button held. Its eraser end (Pointer Events' button 5, bit 32 of the
// buttons) is the left button too, pressed as the eraser end: the lesson decides what it does. A gesture the browser takes away (a cancel, or a capture lost
// while still down) ends as a left release at the last position passed on, so that no stroke
// or drag outlives it.
(function (PR) {
  'use strict';

  // Pointer Events number buttons 0 primary, 1 auxiliary, 2 secondary; anything else
  // (back, forward, a pen's eraser end) is 0, which neither selects nor resets.
  function buttonCode(button) {
    switch (button) {
      case 0: return 1;
      case 1: return 4;
      case 2: return 2;
      default: return 0;
    }
  }

  // The bit of a button in Pointer Events' mask of buttons held.
  function buttonBit(button) {
    switch (button) {
      case 1: return 4;
      case 2: return 2;
      default: return 1 << button;
    }
  }

  // The buttons held: Pointer Events' mask has primary 1, secondary 2, auxiliary 4, which
  // are the lesson's codes already; a pen's eraser end touching is held as the left button.
  function buttonsCode(buttons) {
    return (buttons & 7) | (buttons & kEraserBit ? 1 : 0);
  }

  // A pen's eraser end: its button number and its bit in the mask of buttons held.
  const kEraserButton = 5;
  const kEraserBit = 32;

  function isEraserEnd(e) {
    return e.pointerType === 'pen' && (e.button === kEraserButton || (e.buttons & kEraserBit) !== 0);
  }

  function shiftCode(e) {
    return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
  }

  class SurfaceInput {
    // target: the element that receives the pointer; toSurface(clientX, clientY) gives the
    // surface point {x, y}; sink has press, move and release(button, shift, x, y).
    constructor(target, toSurface, sink) {
      this.target = target;
      this.toSurface = toSurface;
      this.sink = sink;
      this.touchId = null; // the one finger that drives the gesture
      this.penId = null;   // the pen in contact or with a button held
      this.last = { x: 0, y: 0 };
      this.listeners = [];
      this.listen('pointerdown', (e) => this.down(e));
      this.listen('pointermove', (e) => this.moved(e));
      this.listen('pointerup', (e) => this.up(e));
      this.listen('pointercancel', (e) => this.cancel(e));
      // WebKit takes a pen's capture away when it leaves the element, and its up goes
      // elsewhere.
      this.listen('lostpointercapture', (e) => this.cancel(e));
      // The right button resets the figure: no context menu over it. The middle button
      // would start the browser's autoscroll, and a press would select text or drag.
      this.listen('contextmenu', (e) => e.preventDefault());
      this.listen('mousedown', (e) => e.preventDefault());
      this.listen('dragstart', (e) => e.preventDefault());
    }

    listen(type, handler) {
      this.target.addEventListener(type, handler);
      this.listeners.push([type, handler]);
    }

    // Stops passing anything on; the page is ending.
    detach() {
      for (const [type, handler] of this.listeners)
        this.target.removeEventListener(type, handler);
      this.listeners = [];
    }

    point(e) {
      this.last = this.toSurface(e.clientX, e.clientY);
      return this.last;
    }

    press(button, e, eraserEnd = false) {
      const p = this.point(e);
      if (eraserEnd && this.sink.pressEraserEnd) this.sink.pressEraserEnd(button, shiftCode(e), p.x, p.y);
      else this.sink.press(button, shiftCode(e), p.x, p.y);
    }

    move(buttons, e) {
      // A fast stroke arrives as one event per frame with the positions between folded into
      // it; each is passed on, so the stroke follows the hand as closely as on the desktop.
      const events = typeof e.getCoalescedEvents === 'function' ? e.getCoalescedEvents() : [];
      for (const c of events.length ? events : [e]) {
        const p = this.point(c);
        this.sink.move(buttons, shiftCode(e), p.x, p.y);
      }
    }

    release(button, e) {
      const p = this.point(e);
      this.sink.release(button, shiftCode(e), p.x, p.y);
    }

    capture(e) {
      // Moves and the release still arrive when the pointer leaves the surface, as a mouse
      // grab does on the desktop.
      try {
        this.target.setPointerCapture(e.pointerId);
      } catch (_) {
        // The pointer is gone already; its release or cancel still comes.
      }
    }

    down(e) {
      // For a mouse and a finger this keeps the browser from sending the emulated mouse
      // events too. A pen's is left alone: WebKit sends a pen nothing more, no move and no
      // up, once its pointerdown is cancelled, and the mousedown handler already keeps a pen
      // from selecting text, focusing or dragging.
      if (e.pointerType !== 'pen') e.preventDefault();
      if (e.pointerType === 'touch') {
        if (this.touchId !== null) return;
        this.touchId = e.pointerId;
        this.capture(e);
        this.press(1, e);
        return;
      }
      if (e.pointerType === 'pen') this.penId = e.pointerId;
      this.capture(e);
      if (isEraserEnd(e)) this.press(1, e, true);
      else this.press(buttonCode(e.button), e);
    }

    moved(e) {
      if (e.pointerType === 'touch') {
        if (e.pointerId === this.touchId) this.move(1, e);
        return;
      }
      // A further button pressed or let go while another is held comes as a move that
      // names the button (Pointer Events send no second down or up for it).
      if (e.button >= 0) {
        const code = buttonCode(e.button);
        if (e.buttons & buttonBit(e.button))
          this.press(code, e);
        else
          this.release(code, e);
        return;
      }
      this.move(buttonsCode(e.buttons), e);
    }

    up(e) {
      if (e.pointerType === 'touch') {
        if (e.pointerId !== this.touchId) return;
        this.touchId = null;
        this.release(1, e);
        return;
      }
      if (e.pointerType === 'pen' && e.buttons === 0) this.penId = null;
      this.release(isEraserEnd(e) ? 1 : buttonCode(e.button), e);
    }

    cancel(e) {
      if (e.pointerId === this.touchId) this.touchId = null;
      else if (e.pointerId === this.penId) this.penId = null;
      else return;
      this.sink.release(1, 0, this.last.x, this.last.y);
    }
  }

  PR.SurfaceInput = SurfaceInput;
  PR.buttonCode = buttonCode;
  PR.buttonsCode = buttonsCode;
  PR.shiftCode = shiftCode;
})(typeof module !== 'undefined' ? module.exports : (globalThis.ParallelRatio ??= {}));
