// What the page's live class takes from the NATS client: connecting over WebSocket with the
// class's credentials, and headers for the messages the broker sends. The build bundles it,
// with what it imports, into the site's nats.js (one script, global PRNats), so that the page
// needs no origin but its own.
export { jwtAuthenticator, wsconnect } from '@nats-io/nats-core';
